// Lets GoogleTest show a CString's text in failure messages.
#pragma once

#include "shd/String.h"

#include <ostream>

void PrintTo(const CString& text, std::ostream* out);
