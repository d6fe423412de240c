// Rows of text cells printed in aligned columns.
#pragma once

#include <string>
#include <vector>

using TableRow = std::vector<std::string>;

// Every column as wide as its widest cell (counted in characters, not bytes),
// two spaces apart; the last column is not padded. An empty cell shows "-".
// Every cell is made safe for a terminal (terminalSafe) first: cells hold
// what devices report.
std::string formatTable(const TableRow& header, const std::vector<TableRow>& rows);

// The rows alone, aligned the same way.
std::string formatRows(const std::vector<TableRow>& rows);

// Characters of a UTF-8 text.
size_t displayWidth(const std::string& text);
