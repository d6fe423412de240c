#include "present/TextTable.h"

#include "present/TerminalText.h"

#include <algorithm>
#include <cwchar>

#include <locale.h>
#include <wchar.h>

namespace {

constexpr const char* kEmptyCell = "-";
constexpr size_t kGap = 2;

std::string cellText(const TableRow& row, size_t column) {
    return column < row.size() && !row[column].empty() ? terminalSafe(row[column]) : kEmptyCell;
}

void appendRow(std::string& out, const TableRow& row, const std::vector<size_t>& widths) {
    std::string line;
    for (size_t column = 0; column < widths.size(); ++column) {
        const std::string cell = cellText(row, column);
        line += cell;
        if (column + 1 < widths.size()) {
            line.append(widths[column] - displayWidth(cell) + kGap, ' ');
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
}

std::string format(const std::vector<TableRow>& lines) {
    size_t columns = 0;
    for (const TableRow& line : lines) {
        columns = std::max(columns, line.size());
    }
    std::vector<size_t> widths(columns, 0);
    for (const TableRow& line : lines) {
        for (size_t column = 0; column < columns; ++column) {
            widths[column] = std::max(widths[column], displayWidth(cellText(line, column)));
        }
    }
    std::string out;
    for (const TableRow& line : lines) {
        appendRow(out, line, widths);
    }
    return out;
}

// Columns of a character where no UTF-8 locale tells: none for combining
// marks, two for East Asian wide and fullwidth characters, else one.
int columnsWithoutLocale(char32_t c) {
    if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
        (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
        (c >= 0xFE20 && c <= 0xFE2F)) {
        return 0;
    }
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
                      (c >= 0x3041 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
                      (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x1F900 && c <= 0x1F9FF) ||
                      (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

} // namespace

size_t displayWidth(const std::string& text) {
    // wcwidth answers for the thread's locale: UTF-8 here, whatever the
    // program's locale is. Without a UTF-8 locale (a cross build run under
    // an emulator reads none) the common wide and combining ranges serve.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    const locale_t previous = utf8 != locale_t(nullptr) ? uselocale(utf8) : locale_t(nullptr);
    size_t width = 0;
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = decodeUtf8(text, i, &c);
        if (length == 0) { // not UTF-8: a byte a column
            width += 1;
            i += 1;
            continue;
        }
        const int columns =
            utf8 != locale_t(nullptr) ? wcwidth(wchar_t(c)) : columnsWithoutLocale(c);
        width += columns < 0 ? 1 : size_t(columns);
        i += length;
    }
    if (previous != locale_t(nullptr)) {
        uselocale(previous);
    }
    return width;
}

std::string formatTable(const TableRow& header, const std::vector<TableRow>& rows) {
    std::vector<TableRow> lines = {header};
    lines.insert(lines.end(), rows.begin(), rows.end());
    return format(lines);
}

std::string formatRows(const std::vector<TableRow>& rows) {
    return format(rows);
}
