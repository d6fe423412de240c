#include "present/TextTable.h"

#include "present/TerminalText.h"

#include <algorithm>

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

} // namespace

size_t displayWidth(const std::string& text) {
    size_t width = 0;
    for (unsigned char byte : text) {
        width += (byte & 0xC0) != 0x80; // continuation bytes add nothing
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
