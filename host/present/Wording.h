// Small pieces of the sentences camexpert prints.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// "a, b or c" with conjunction "or"; "a" alone; "" for none.
std::string listed(const std::vector<std::string>& words, const std::string& conjunction);

// "1 camera", "2 cameras".
std::string counted(size_t count, const std::string& one, const std::string& many);

// Seconds as a person writes them: "4", "2.5", "31622400".
std::string secondsText(double seconds);
