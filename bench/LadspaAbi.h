#pragma once

// The LADSPA plug-in ABI (a plain C interface of function pointers and port tables), declared
// here so that the benchmark tools need no SDK header.

extern "C"
{
  typedef float LadspaData;
  typedef void* LadspaHandle;

  enum : int
  {
    kLadspaPortInput = 0x1,
    kLadspaPortOutput = 0x2,
    kLadspaPortControl = 0x4,
    kLadspaPortAudio = 0x8,
  };

  enum : int
  {
    kLadspaHintBoundedBelow = 0x1,
    kLadspaHintBoundedAbove = 0x2,
    kLadspaHintToggled = 0x4,
    kLadspaHintInteger = 0x20,
  };

  struct LadspaPortRangeHint
  {
    int hintDescriptor;
    LadspaData lowerBound;
    LadspaData upperBound;
  };

  struct LadspaDescriptor
  {
    unsigned long uniqueId;
    const char* label;
    int properties;
    const char* name;
    const char* maker;
    const char* copyright;
    unsigned long portCount;
    const int* portDescriptors;
    const char* const* portNames;
    const LadspaPortRangeHint* portRangeHints;
    void* implementationData;
    LadspaHandle (*instantiate)(const LadspaDescriptor*, unsigned long sampleRate);
    void (*connectPort)(LadspaHandle, unsigned long port, LadspaData* location);
    void (*activate)(LadspaHandle);
    void (*run)(LadspaHandle, unsigned long sampleCount);
    void (*runAdding)(LadspaHandle, unsigned long sampleCount);
    void (*setRunAddingGain)(LadspaHandle, LadspaData gain);
    void (*deactivate)(LadspaHandle);
    void (*cleanup)(LadspaHandle);
  };

  typedef const LadspaDescriptor* (*LadspaDescriptorFunction)(unsigned long index);
}
