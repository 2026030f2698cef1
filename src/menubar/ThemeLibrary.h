#pragma once

// Whether visual styles draw our controls now. The theme library is loaded at run time
// because systems (and Wine prefixes) without it must still run the program.
bool IsVisualStyleActive();
