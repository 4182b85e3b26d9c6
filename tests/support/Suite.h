#pragma once

// What every window suite works with: its database frame, its window's controls, the boxes,
// and the widgets and helpers the suites reach.
#include "support/DatabaseTest.h"
#include "support/PdfText.h"
#include "support/WindowTest.h"

