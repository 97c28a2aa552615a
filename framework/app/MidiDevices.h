#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace iplug
{

// Runs on the MIDI library's input thread, once per complete message.
using MidiInputHandler = void (*)(double timeStamp, const uint8_t* bytes, size_t size, void* user);

// A MIDI client with at most one open port. Implementations never throw: a port that cannot be
// opened answers false and stays closed.
class IMidiPorts
{
public:
  virtual ~IMidiPorts() = default;

  virtual uint32_t PortCount() = 0;
  virtual std::string PortName(uint32_t index) = 0;
  virtual bool OpenPort(uint32_t index, const std::string& clientPortName) = 0;
  virtual void ClosePort() = 0;
  virtual bool IsPortOpen() = 0;
};

class IMidiInput : public IMidiPorts
{
public:
  virtual void SetHandler(MidiInputHandler handler, void* user) = 0;
  virtual void CancelHandler() = 0;
  // True drops that kind of message before it reaches the handler.
  virtual void IgnoreTypes(bool sysex, bool timing, bool activeSensing) = 0;
};

class IMidiOutput : public IMidiPorts
{
public:
  virtual bool SendBytes(const uint8_t* bytes, size_t size) = 0;
};

} // namespace iplug
