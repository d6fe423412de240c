// The five driver functions the expert calls, answered from hostileDriver().
// They also check the expert's side of the contract: the counting call
// passes a null array and a count of 0, the filling call an array of the
// counted size, zero-filled; interface names arrive zero-terminated.
#include "expert/fuzz/HostileDriver.h"

#include "expert/fuzz/Require.h"

#include <algorithm>
#include <cstring>

namespace expertfuzz {

HostileDriver& hostileDriver() {
    static HostileDriver driver;
    return driver;
}

namespace {

uint32_t clampedCount(int64_t count, int64_t most) {
    return uint32_t(std::clamp<int64_t>(count, 0, most));
}

template <class Record>
bool zeroFilled(const Record* entries, uint32_t size) {
    static const Record zero{};
    for (uint32_t i = 0; i < size; ++i) {
        if (std::memcmp(&entries[i], &zero, sizeof(Record)) != 0) {
            return false;
        }
    }
    return true;
}

// One call of the two-call pattern. The filling call writes at most the
// array's size; it may report fewer entries than it wrote, and more only
// when its list owns the empty name.
template <class Record>
int32_t answerList(const std::vector<Record>& held, const ListAnswers& answers,
                   bool mayReportUnwritten, Record* entries, uint32_t& count,
                   ListHanding<Record>& handing) {
    if (entries == nullptr) {
        KR_FUZZ_REQUIRE(count == 0);
        handing = ListHanding<Record>{};
        handing.countingStatus = answers.countingStatus;
        handing.counted =
            clampedCount(int64_t(held.size()) + answers.countingSkew, kMostReportedEntries);
        count = handing.counted;
        return answers.countingStatus;
    }
    const uint32_t size = count;
    KR_FUZZ_REQUIRE(!handing.fillingCalled && size == handing.counted);
    KR_FUZZ_REQUIRE(zeroFilled(entries, size));
    const uint32_t written = uint32_t(std::min<size_t>(size, held.size()));
    std::copy_n(held.begin(), written, entries);
    count = clampedCount(int64_t(written) + answers.fillingSkew,
                         mayReportUnwritten ? kMostReportedEntries : written);
    handing.fillingCalled = true;
    handing.fillingStatus = answers.fillingStatus;
    handing.reported = count;
    handing.handed.assign(entries, entries + std::min(size, count));
    return answers.fillingStatus;
}

void writeDriverName(const DriverNameAnswer& answer, char* buffer, uint32_t size) {
    const std::string& text = answer.text;
    switch (answer.form) {
    case NameForm::Nothing:
        break;
    case NameForm::Terminated:
        if (size != 0) {
            const size_t length = std::min<size_t>(text.size(), size - 1);
            std::memcpy(buffer, text.data(), length);
            buffer[length] = '\0';
        }
        break;
    case NameForm::Unterminated:
        std::memcpy(buffer, text.data(), std::min<size_t>(text.size(), size));
        break;
    case NameForm::FillsBuffer:
        for (uint32_t i = 0; i < size; ++i) {
            buffer[i] = text.empty() ? 'N' : text[i % text.size()];
        }
        break;
    }
}

} // namespace

} // namespace expertfuzz

using expertfuzz::EmptyNameOwner;
using expertfuzz::hostileDriver;
using expertfuzz::HostileDriver;

extern "C" int32_t VyrexEnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) {
    KR_FUZZ_REQUIRE(count != nullptr && flag == 1);
    HostileDriver& driver = hostileDriver();
    return expertfuzz::answerList(driver.cameras, driver.cameraAnswers,
                                  driver.emptyNameOwner == EmptyNameOwner::Cameras, entries, *count,
                                  driver.cameraHanding);
}

extern "C" int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) {
    KR_FUZZ_REQUIRE(count != nullptr);
    HostileDriver& driver = hostileDriver();
    return expertfuzz::answerList(driver.frameGrabbers, driver.frameGrabberAnswers,
                                  driver.emptyNameOwner == EmptyNameOwner::FrameGrabbers, entries,
                                  *count, driver.frameGrabberHanding);
}

extern "C" int32_t VyrexGetCameraProperty(const char* interfaceName, uint32_t property,
                                          uint32_t* value) {
    KR_FUZZ_REQUIRE(interfaceName != nullptr && value != nullptr);
    // Read as the driver reads it, to its terminator: the expert must pass
    // a terminated copy even of a field filled to its end.
    KR_FUZZ_REQUIRE(std::strlen(interfaceName) <= kVyrexTextSize);
    KR_FUZZ_REQUIRE(property >= kVyrexCameraAddress1 && property <= kVyrexCameraIdentifier2);
    HostileDriver& driver = hostileDriver();
    if (driver.propertyAnswers.empty()) {
        return -1;
    }
    const auto& answer =
        driver.propertyAnswers[driver.propertyCalls++ % driver.propertyAnswers.size()];
    if (answer.writesValue) {
        *value = answer.value;
    }
    return answer.status;
}

extern "C" int32_t VyrexGetDriverName2(uint64_t, char* buffer, uint32_t size) {
    KR_FUZZ_REQUIRE(buffer != nullptr);
    HostileDriver& driver = hostileDriver();
    if (driver.driverNameAnswers.empty()) {
        return -1;
    }
    const auto& answer =
        driver.driverNameAnswers[driver.driverNameCalls++ % driver.driverNameAnswers.size()];
    expertfuzz::writeDriverName(answer, buffer, size);
    return answer.status;
}

extern "C" int32_t VyrexGetDriverVersion(uint32_t* version) {
    KR_FUZZ_REQUIRE(version != nullptr);
    const HostileDriver& driver = hostileDriver();
    *version = driver.driverVersion;
    return driver.driverVersionStatus;
}
