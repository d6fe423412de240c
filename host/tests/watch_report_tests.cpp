// What watch prints for a sequence of notifications.
#include "commands/WatchReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using ::testing::EndsWith;
using ::testing::HasSubstr;

namespace {

PropertyList camera(const std::string& address, const std::string& vendor = "Kroneth") {
    return {makeProperty(0x0101D000, std::string("gev0")),
            makeProperty(0x07009000, int32_t(0x69707634)), makeProperty(0x01004000, vendor),
            makeProperty(0x0102C000, address)};
}

Notification notification(oxSysItemChangeKind change, std::vector<ItemPicture> items) {
    Notification n;
    n.time = std::chrono::system_clock::now();
    n.change = change;
    n.items = std::move(items);
    return n;
}

TEST(WatchReport, TextNamesTheItemsAndTellsWhatChanged) {
    WatchReport report(false);
    const std::string added = report.report(notification(
        oxSysItemChangeKind_Added, {{"gev0", camera("10.0.0.1"), 0}, {"usb0", {}, 0}}));
    EXPECT_THAT(added, HasSubstr("  added    gev0, usb0\n"
                                 "    gev0: camera, ipv4, Kroneth, 10.0.0.1\n"
                                 "    usb0: camera\n"));

    const std::string changed = report.report(
        notification(oxSysItemChangeKind_Changed, {{"gev0", camera("10.0.0.2", "Acme"), 0}}));
    EXPECT_THAT(changed,
                HasSubstr("  changed  gev0\n"
                          "    gev0: Vendor (0x01004000): \"Kroneth\" -> \"Acme\"\n"
                          "    gev0: IP address (0x0102C000): \"10.0.0.1\" -> \"10.0.0.2\"\n"));

    const std::string same = report.report(
        notification(oxSysItemChangeKind_Changed, {{"gev0", camera("10.0.0.2", "Acme"), 0}}));
    EXPECT_THAT(same, EndsWith("    gev0: no published property changed\n"));

    report.report(notification(oxSysItemChangeKind_Removed, {{"gev0", {}, 0}}));
    const std::string unknown =
        report.report(notification(oxSysItemChangeKind_Changed, {{"gev0", camera("10.0.0.3"), 0}}));
    EXPECT_THAT(unknown, EndsWith("    gev0: no earlier picture to compare with\n"));

    const std::string unreadable = report.report(
        notification(oxSysItemChangeKind_Changed, {{"gev0", {}, int32_t(0x80040375)}}));
    EXPECT_THAT(unreadable, HasSubstr("gev0: its properties cannot be read: 0x80040375"));
}

TEST(WatchReport, JsonIsOneLinePerEvent) {
    WatchReport report(true);
    report.report(notification(oxSysItemChangeKind_Added, {{"gev0", camera("10.0.0.1"), 0}}));
    const std::string line =
        report.report(notification(oxSysItemChangeKind_Changed, {{"gev0", camera("10.0.0.2"), 0}}));
    ASSERT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    const nlohmann::json event = nlohmann::json::parse(line);
    EXPECT_EQ(event.at("event"), "changed");
    EXPECT_EQ(event.at("names"), nlohmann::json{"gev0"});
    EXPECT_EQ(event.at("items")[0].at("address"), "10.0.0.2");
    ASSERT_EQ(event.at("changes").size(), 1u);
    EXPECT_EQ(event.at("changes")[0].at("from"), "10.0.0.1");
    EXPECT_EQ(event.at("changes")[0].at("to"), "10.0.0.2");

    const nlohmann::json removed = nlohmann::json::parse(
        report.report(notification(oxSysItemChangeKind_Removed, {{"gev0", {}, 0}})));
    EXPECT_EQ(removed.at("items")[0].at("address"), "10.0.0.2")
        << "described from its last picture";
    EXPECT_FALSE(removed.contains("changes"));
}

// The expert's first notifications may come after the first event, which
// already told what they tell.
TEST(WatchReport, NotificationsOfTheTimeBeforeTheFirstEventAreNotToldAgain) {
    WatchReport report(false);
    EXPECT_THAT(report.present(std::chrono::system_clock::now(), {{"gev0", camera("10.0.0.1"), 0}}),
                HasSubstr("  present  gev0\n    gev0: camera, ipv4, Kroneth, 10.0.0.1\n"));
    EXPECT_EQ(
        report.report(notification(oxSysItemChangeKind_Added, {{"gev0", camera("10.0.0.1"), 0}})),
        "");
    EXPECT_EQ(report.report(notification(oxSysItemChangeKind_Removed, {{"usb0", {}, 0}})), "");
    EXPECT_THAT(report.report(notification(oxSysItemChangeKind_Added,
                                           {{"gev0", camera("10.0.0.1"), 0}, {"usb0", {}, 0}})),
                HasSubstr("  added    usb0\n"));
    EXPECT_THAT(WatchReport(false).present(std::chrono::system_clock::now(), {}),
                EndsWith("  present  no cameras or frame grabbers\n"));
}

TEST(WatchReport, LocalTimes) {
    const auto time = std::chrono::system_clock::from_time_t(0) + std::chrono::milliseconds(1234);
    EXPECT_THAT(localTimeText(time, false), testing::MatchesRegex("[0-9]{2}:[0-9]{2}:01\\.234"));
    EXPECT_THAT(
        localTimeText(time, true),
        testing::MatchesRegex("19(69|70)-[0-9]{2}-[0-9]{2}T[0-9:]{8}\\.234[-+][0-9]{2}:[0-9]{2}"));
}

} // namespace
