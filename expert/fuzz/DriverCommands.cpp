#include "expert/fuzz/DriverCommands.h"

#include "expert/fuzz/NameRules.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace expertfuzz {

namespace {

// The most entries a list holds: enough for collisions and reordering,
// few enough that every pass stays quick.
constexpr size_t kMostEntriesHeld = 24;

// Opcodes, in the order make-seeds.py numbers them.
enum Command : uint8_t {
    kAddCamera,
    kAddRawCamera,
    kRemoveCamera,
    kEditCamera,
    kPatchCamera,
    kCopyCameraInOtherCase,
    kSwapCameras,
    kAddFrameGrabber,
    kAddRawFrameGrabber,
    kRemoveFrameGrabber,
    kEditFrameGrabber,
    kPatchFrameGrabber,
    kCopyFrameGrabberInOtherCase,
    kSwapFrameGrabbers,
    kAnswerCameraList,
    kAnswerFrameGrabberList,
    kAnswerProperties,
    kAnswerDriverNames,
    kAnswerDriverVersion,
    kPass,
    kCommandCount
};

// Mostly success: an even byte is 0, an odd one its signed value.
int32_t statusFrom(uint8_t byte) {
    return byte % 2 == 0 ? 0 : int32_t(int8_t(byte));
}

void repeatInto(const std::string& pattern, char* begin, char* end) {
    for (size_t i = 0; begin + i < end; ++i) {
        begin[i] = pattern[i % pattern.size()];
    }
}

// A text field: shape byte, length byte, the text. Shape 0: the text, then
// zeros; 1: the text repeated to the field's end, no terminator; 2: the
// text, a terminator, then the text repeated again (bytes that must not
// count). A zero inside the text ends it early in every shape; an empty
// text repeats "u".
void readText(FuzzInput& input, char (&field)[kVyrexTextSize]) {
    const uint8_t shape = input.byte() % 3;
    std::string text = input.bytes(input.byte());
    std::memset(field, 0, kVyrexTextSize);
    std::memcpy(field, text.data(), text.size());
    if (text.empty()) {
        text = "u";
    }
    if (shape == 1) {
        repeatInto(text, field, field + kVyrexTextSize);
    } else if (shape == 2) {
        repeatInto(text, field + text.size() + 1, field + kVyrexTextSize);
    }
}

// A whole record from raw bytes: a 16-bit length (at most the record's
// size) and that many bytes, repeated to the record's end.
template <class Record>
Record readRawRecord(FuzzInput& input) {
    Record record{};
    const std::string bytes = input.bytes(std::min<size_t>(input.word16(), sizeof(Record)));
    if (!bytes.empty()) {
        char raw[sizeof(Record)];
        repeatInto(bytes, raw, raw + sizeof(Record));
        std::memcpy(&record, raw, sizeof(Record));
    }
    return record;
}

// Overwrites bytes anywhere in a record: a 16-bit offset, a length byte,
// the bytes (cut at the record's end).
template <class Record>
void patchRecord(FuzzInput& input, Record& record) {
    const size_t offset = input.word16() % sizeof(Record);
    const std::string bytes = input.bytes(input.byte());
    std::memcpy(reinterpret_cast<char*>(&record) + offset, bytes.data(),
                std::min(bytes.size(), sizeof(Record) - offset));
}

// Swaps the letter case of the letters at the positions whose bit (position
// modulo 8) is set in mask, up to the terminator or the field's end.
void flipCase(char (&field)[kVyrexTextSize], uint8_t mask) {
    for (size_t i = 0; i < kVyrexTextSize && field[i] != '\0'; ++i) {
        char& c = field[i];
        if ((mask >> (i % 8)) & 1) {
            if (c >= 'a' && c <= 'z') {
                c = char(c - 'a' + 'A');
            } else if (c >= 'A' && c <= 'Z') {
                c = char(c - 'A' + 'a');
            }
        }
    }
}

// Operand: a choice of the known bus kinds; choice 7 is followed by any word.
uint32_t readBusType(FuzzInput& input) {
    static constexpr uint32_t kKnown[] = {kVyrexBusIPv4,     kVyrexBusIPCamera, kVyrexBusUSB3,
                                          kVyrexBusUVC,      kVyrexBusFireWire, kVyrexBusCameraLink,
                                          kVyrexBusSimulated};
    const uint8_t choice = input.byte() % 8;
    return choice < 7 ? kKnown[choice] : input.word();
}

// Operand: an index into the list (0 for an empty list, which the command
// then leaves alone).
template <class Record>
size_t readIndex(FuzzInput& input, const std::vector<Record>& list) {
    const uint8_t byte = input.byte();
    return list.empty() ? 0 : byte % list.size();
}

void addEntry(std::vector<CameraEntry>& cameras, CameraEntry camera) {
    keepCameraNameApart(camera);
    if (cameras.size() < kMostEntriesHeld) {
        cameras.push_back(camera);
    }
}

void addEntry(std::vector<FrameGrabberRecord>& frameGrabbers, FrameGrabberRecord frameGrabber) {
    markFrameGrabberName(frameGrabber);
    if (frameGrabbers.size() < kMostEntriesHeld) {
        frameGrabbers.push_back(frameGrabber);
    }
}

// Operands: bus, serial high and low words, interface, vendor and model texts.
CameraEntry readCamera(FuzzInput& input) {
    CameraEntry camera{};
    camera.busType = readBusType(input);
    camera.serialNumberHigh = input.word();
    camera.serialNumberLow = input.word();
    readText(input, camera.interfaceName);
    readText(input, camera.vendorName);
    readText(input, camera.modelName);
    return camera;
}

// Operands: index, field byte, then the field's new value.
void editCamera(FuzzInput& input, std::vector<CameraEntry>& cameras) {
    const size_t index = readIndex(input, cameras);
    CameraEntry edited = cameras.empty() ? CameraEntry{} : cameras[index];
    switch (input.byte() % 8) {
    case 0: {
        uint32_t* words[] = {&edited.entryWord0, &edited.entryWord1, &edited.entryWord2};
        *words[input.byte() % 3] = input.word();
        break;
    }
    case 1:
        edited.serialNumberHigh = input.word();
        break;
    case 2:
        edited.serialNumberLow = input.word();
        break;
    case 3:
        edited.busType = readBusType(input);
        break;
    case 4:
        readText(input, edited.interfaceName);
        break;
    case 5:
        readText(input, edited.vendorName);
        break;
    case 6:
        readText(input, edited.modelName);
        break;
    default:
        readText(input, input.byte() % 2 == 0 ? edited.spareText0 : edited.spareText1);
        break;
    }
    if (!cameras.empty()) {
        keepCameraNameApart(edited);
        cameras[index] = edited;
    }
}

// Operands: bus word, serial high and low words, identifiers A and B
// (16 bits each), link width A and B, link speed A and B (a byte each),
// name and model texts.
FrameGrabberRecord readFrameGrabber(FuzzInput& input) {
    FrameGrabberRecord frameGrabber{};
    frameGrabber.busType = input.word();
    frameGrabber.serialNumberHigh = input.word();
    frameGrabber.serialNumberLow = input.word();
    frameGrabber.identifierA = input.word16();
    frameGrabber.identifierB = input.word16();
    frameGrabber.linkWidthA = input.byte();
    frameGrabber.linkWidthB = input.byte();
    frameGrabber.linkSpeedA = input.byte();
    frameGrabber.linkSpeedB = input.byte();
    readText(input, frameGrabber.name);
    readText(input, frameGrabber.modelName);
    return frameGrabber;
}

// Operands: index, field byte, then the field's new value.
void editFrameGrabber(FuzzInput& input, std::vector<FrameGrabberRecord>& frameGrabbers) {
    const size_t index = readIndex(input, frameGrabbers);
    FrameGrabberRecord edited = frameGrabbers.empty() ? FrameGrabberRecord{} : frameGrabbers[index];
    switch (input.byte() % 4) {
    case 0:
        readText(input, edited.name);
        break;
    case 1:
        readText(input, edited.modelName);
        break;
    case 2:
        edited.serialNumberHigh = input.word();
        edited.serialNumberLow = input.word();
        break;
    default:
        edited.busType = input.word();
        break;
    }
    if (!frameGrabbers.empty()) {
        markFrameGrabberName(edited);
        frameGrabbers[index] = edited;
    }
}

// Operands: index, then the record's patch. The name rule is applied again.
template <class Record>
void patchEntry(FuzzInput& input, std::vector<Record>& list, void (*nameRule)(Record&)) {
    const size_t index = readIndex(input, list);
    Record patched = list.empty() ? Record{} : list[index];
    patchRecord(input, patched);
    if (!list.empty()) {
        nameRule(patched);
        list[index] = patched;
    }
}

// Operands: index, case mask, where (even: a new entry; odd: in place).
// Flipping letters keeps a name within its rule.
template <class Record>
void copyInOtherCase(FuzzInput& input, std::vector<Record>& list,
                     char (Record::*name)[kVyrexTextSize]) {
    const size_t index = readIndex(input, list);
    const uint8_t mask = input.byte();
    const bool inPlace = input.byte() % 2 != 0;
    if (list.empty()) {
        return;
    }
    Record copy = list[index];
    flipCase(copy.*name, mask);
    if (inPlace) {
        list[index] = copy;
    } else {
        addEntry(list, copy);
    }
}

// Operands: two indexes.
template <class Record>
void swapEntries(FuzzInput& input, std::vector<Record>& list) {
    const size_t first = readIndex(input, list);
    const size_t second = readIndex(input, list);
    if (!list.empty()) {
        std::swap(list[first], list[second]);
    }
}

// Operand: an index.
template <class Record>
void removeEntry(FuzzInput& input, std::vector<Record>& list) {
    const size_t index = readIndex(input, list);
    if (!list.empty()) {
        list.erase(list.begin() + std::ptrdiff_t(index));
    }
}

// Operands: counting status, filling status, counting skew, filling skew
// (the skews as signed bytes).
ListAnswers readListAnswers(FuzzInput& input) {
    ListAnswers answers;
    answers.countingStatus = statusFrom(input.byte());
    answers.fillingStatus = statusFrom(input.byte());
    answers.countingSkew = int8_t(input.byte());
    answers.fillingSkew = int8_t(input.byte());
    return answers;
}

// Operands: the number of answers (modulo 9), then per answer a status
// byte, a byte whose bit 0 says whether the value is written, the value.
std::vector<PropertyAnswer> readPropertyAnswers(FuzzInput& input) {
    std::vector<PropertyAnswer> answers(input.byte() % 9);
    for (PropertyAnswer& answer : answers) {
        answer.status = statusFrom(input.byte());
        answer.writesValue = input.byte() % 2 != 0;
        answer.value = input.word();
    }
    return answers;
}

// Operands: the number of answers (modulo 5), then per answer the form
// (modulo 4, in NameForm's order), a status byte, a length byte and the text.
std::vector<DriverNameAnswer> readDriverNameAnswers(FuzzInput& input) {
    std::vector<DriverNameAnswer> answers(input.byte() % 5);
    for (DriverNameAnswer& answer : answers) {
        answer.form = NameForm(input.byte() % 4);
        answer.status = statusFrom(input.byte());
        answer.text = input.bytes(input.byte());
    }
    return answers;
}

} // namespace

InputSettings readSettings(FuzzInput& input) {
    const uint8_t flags = input.byte();
    InputSettings settings;
    if (flags & 1) {
        settings.refusedByte = input.byte();
    }
    settings.emptyNameOwner =
        (flags & 2) != 0 ? EmptyNameOwner::FrameGrabbers : EmptyNameOwner::Cameras;
    return settings;
}

bool applyCommandsUntilPass(FuzzInput& input, HostileDriver& driver) {
    while (!input.empty()) {
        switch (input.byte() % kCommandCount) {
        case kAddCamera:
            addEntry(driver.cameras, readCamera(input));
            break;
        case kAddRawCamera:
            addEntry(driver.cameras, readRawRecord<CameraEntry>(input));
            break;
        case kRemoveCamera:
            removeEntry(input, driver.cameras);
            break;
        case kEditCamera:
            editCamera(input, driver.cameras);
            break;
        case kPatchCamera:
            patchEntry(input, driver.cameras, keepCameraNameApart);
            break;
        case kCopyCameraInOtherCase:
            copyInOtherCase(input, driver.cameras, &CameraEntry::interfaceName);
            break;
        case kSwapCameras:
            swapEntries(input, driver.cameras);
            break;
        case kAddFrameGrabber:
            addEntry(driver.frameGrabbers, readFrameGrabber(input));
            break;
        case kAddRawFrameGrabber:
            addEntry(driver.frameGrabbers, readRawRecord<FrameGrabberRecord>(input));
            break;
        case kRemoveFrameGrabber:
            removeEntry(input, driver.frameGrabbers);
            break;
        case kEditFrameGrabber:
            editFrameGrabber(input, driver.frameGrabbers);
            break;
        case kPatchFrameGrabber:
            patchEntry(input, driver.frameGrabbers, markFrameGrabberName);
            break;
        case kCopyFrameGrabberInOtherCase:
            copyInOtherCase(input, driver.frameGrabbers, &FrameGrabberRecord::name);
            break;
        case kSwapFrameGrabbers:
            swapEntries(input, driver.frameGrabbers);
            break;
        case kAnswerCameraList:
            driver.cameraAnswers = readListAnswers(input);
            break;
        case kAnswerFrameGrabberList:
            driver.frameGrabberAnswers = readListAnswers(input);
            break;
        case kAnswerProperties:
            driver.propertyAnswers = readPropertyAnswers(input);
            break;
        case kAnswerDriverNames:
            driver.driverNameAnswers = readDriverNameAnswers(input);
            break;
        case kAnswerDriverVersion:
            driver.driverVersion = input.word();
            driver.driverVersionStatus = statusFrom(input.byte());
            break;
        case kPass:
            return true;
        }
    }
    return false;
}

} // namespace expertfuzz
