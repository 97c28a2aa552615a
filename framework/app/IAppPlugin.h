#pragma once

#include <cstdint>

namespace iplug
{

// The standalone host's view of the plug-in object it owns. IPlugAPP implements it over the
// framework's plug-in bases; keeping the host to this surface lets it run with any processor.
struct AppEditorSize
{
  int width = 0, height = 0;
  int minWidth = 0, minHeight = 0;
  int maxWidth = 0, maxHeight = 0;
};

class IAppPlugin
{
public:
  virtual ~IAppPlugin() = default;

  // Channel counts the audio stream is opened with: the largest of the plug-in's layouts.
  virtual int AppInputChannels() const = 0;
  virtual int AppOutputChannels() const = 0;

  // User-interface thread, right after construction: identifies the host ("standalone") and
  // starts the editor queues' drain, which calls into the finished object.
  virtual void AnnounceHost() = 0;
  // User-interface thread, before the object is deleted: stops that drain.
  virtual void ShutDown() = 0;
  // User-interface thread, after the devices are set up: every parameter announced with
  // source "Reset", then the processor activated.
  virtual void ActivateForHost() = 0;
  // User-interface thread, with the stream closed: block size 512, the rate, then a reset.
  virtual void PrepareForStream(double sampleRate) = 0;

  // Audio thread: one slice of at most 512 frames; pointers per channel, 64-bit samples.
  virtual void RunBlock(double** inputs, double** outputs, int frames) = 0;

  // MIDI input thread: queue a short message or a system-exclusive message (4..512 bytes) for
  // the next slice; false when the queue is full and the message was dropped.
  virtual bool QueueMidiFromDevice(uint8_t status, uint8_t data1, uint8_t data2) = 0;
  virtual bool QueueSysexFromDevice(const uint8_t* bytes, int size) = 0;

  // Opens the editor into a window of the program; true when one was made.
  virtual bool OpenEditorWindow(void* parent) = 0;
  virtual void CloseEditorWindow() = 0;

  // What the main window needs of the editor: its size and limits in points, and whether it
  // follows the window's size.
  virtual AppEditorSize GetAppEditorSize() const = 0;
  virtual bool EditorFollowsWindow() const = 0;
  // User-interface thread: the main window's client area changed (device pixels).
  virtual void OnMainWindowResized(int width, int height) = 0;
  // User-interface thread: the window moved to a display with this scale (1 at 96 DPI).
  virtual void SetEditorDisplayScale(float scale) = 0;
  // Menu requests the plug-in may answer itself; false leaves them to the program.
  virtual bool RequestAboutBox() = 0;
  virtual bool RequestManual() = 0;
  // The configuration's version word (major << 16 | minor << 8 | patch).
  virtual int32_t GetAppVersion() const = 0;
};

} // namespace iplug
