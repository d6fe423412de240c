// Symbol table of the real-time kernel (filled in with the symbol loader).
#pragma once
