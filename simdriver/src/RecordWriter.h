// Turns the model's devices into the driver's fixed-size records.
#pragma once

#include "simdriver/SimDriver.h"

#include <cstddef>
#include <string>

namespace vyrexsim {

// How texts are written into fixed fields: cut to size - 1 bytes and
// terminated, or (hostile) filling all size bytes with the text and '#'.
enum class TextEnds { Terminated, Unterminated };

// Writes text into field, all size bytes of it; size must be at least 1.
// Returns false when a terminated text had to be cut.
bool WriteText(char* field, size_t size, const std::string& text, TextEnds ends);

// Both overwrite every byte of the record.
void WriteCameraEntry(const Camera& camera, TextEnds ends, CameraEntry& entry);
void WriteFrameGrabberRecord(const FrameGrabber& grabber, TextEnds ends,
                             FrameGrabberRecord& record);

} // namespace vyrexsim
