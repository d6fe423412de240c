// "Did you mean ...?" for a word typed wrong on the command line.
#pragma once

#include <string>
#include <vector>

// The candidate nearest to the word when it is near enough to be what was
// meant (a letter or two left out, added, changed or swapped); "" otherwise.
std::string nearestWord(const std::string& word, const std::vector<std::string>& candidates);
