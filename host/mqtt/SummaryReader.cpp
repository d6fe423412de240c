#include "mqtt/SummaryReader.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstring>

namespace {

constexpr size_t kFieldCount = 7;

// A SAX reader of the object's first level that stops once it has every
// summary field; the properties, which come after them, are never read.
class SummaryFields : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit SummaryFields(ItemSummary& summary)
        : m_targets{&summary.kind,  &summary.bus,          &summary.busClass, &summary.vendor,
                    &summary.model, &summary.serialNumber, &summary.address} {}

    bool complete() const { return m_found == kFieldCount; }

    bool null() override { return text(""); }
    bool boolean(bool) override { return other(); }
    bool number_integer(number_integer_t) override { return other(); }
    bool number_unsigned(number_unsigned_t) override { return other(); }
    bool number_float(number_float_t, const string_t&) override { return other(); }
    bool string(string_t& value) override { return text(value); }
    bool binary(binary_t&) override { return other(); }
    bool start_object(std::size_t) override { return open(true); }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_array() override { return close(); }
    bool key(string_t& key) override {
        m_field = -1;
        for (size_t i = 0; m_depth == 1 && i < kFieldCount; ++i) {
            if (key == kKeys[i]) {
                m_field = int(i);
            }
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    static constexpr std::array<const char*, kFieldCount> kKeys = {
        "kind", "bus", "busClass", "vendor", "model", "serialNumber", "address"};

    bool open(bool object) {
        if (m_depth == 0 && !object) {
            return false; // the document is no object
        }
        if (m_depth == 1 && m_field >= 0) {
            return false; // a summary field that is no text
        }
        ++m_depth;
        return true;
    }
    bool close() {
        --m_depth;
        return true;
    }
    bool other() { return m_depth != 1 || m_field < 0; }
    bool text(const std::string& value) {
        if (m_depth == 0) {
            return false;
        }
        if (m_depth == 1 && m_field >= 0) {
            if (m_seen[size_t(m_field)]) {
                return false; // twice: not what publish writes
            }
            *m_targets[size_t(m_field)] = value;
            m_seen[size_t(m_field)] = true;
            ++m_found;
            m_field = -1;
        }
        return !complete(); // stops the parse once everything is read
    }

    std::array<std::string*, kFieldCount> m_targets;
    std::array<bool, kFieldCount> m_seen{};
    size_t m_found = 0;
    int m_depth = 0;
    int m_field = -1; // the summary field whose value comes next
};

} // namespace

std::optional<ItemSummary> readPublishedSummary(const std::string& name,
                                                const std::string& payload) {
    ItemSummary summary;
    summary.name = name;
    SummaryFields fields(summary);
    nlohmann::json::sax_parse(payload, &fields);
    if (!fields.complete()) {
        return std::nullopt;
    }
    return summary;
}

std::string summaryPayload(const std::string& payload) {
    const std::optional<ItemSummary> summary = readPublishedSummary("", payload);
    return summary ? summaryJson(*summary).dump() : payload;
}
