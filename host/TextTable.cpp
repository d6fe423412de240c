#include "TextTable.h"

#include <algorithm>

namespace {

constexpr const char* kEmptyCell = "-";
constexpr size_t kGap = 2;

const std::string& cellText(const TableRow& row, size_t column) {
    static const std::string empty = kEmptyCell;
    return column < row.size() && !row[column].empty() ? row[column] : empty;
}

void appendRow(std::string& out, const TableRow& row, const std::vector<size_t>& widths) {
    std::string line;
    for (size_t column = 0; column < widths.size(); ++column) {
        const std::string& cell = cellText(row, column);
        line += cell;
        if (column + 1 < widths.size()) {
            line.append(widths[column] - displayWidth(cell) + kGap, ' ');
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
}

} // namespace

size_t displayWidth(const std::string& text) {
    size_t width = 0;
    for (unsigned char byte : text) {
        width += (byte & 0xC0) != 0x80; // continuation bytes add nothing
    }
    return width;
}

std::string formatTable(const TableRow& header, const std::vector<TableRow>& rows) {
    std::vector<size_t> widths(header.size(), 0);
    for (size_t column = 0; column < header.size(); ++column) {
        widths[column] = displayWidth(cellText(header, column));
        for (const TableRow& row : rows) {
            widths[column] = std::max(widths[column], displayWidth(cellText(row, column)));
        }
    }
    std::string out;
    appendRow(out, header, widths);
    for (const TableRow& row : rows) {
        appendRow(out, row, widths);
    }
    return out;
}
