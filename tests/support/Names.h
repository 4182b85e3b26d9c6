#pragma once

// What the tests name without a prefix: Qt's string literals (u"…"_s) and the test support.
#include <QString>

#include "support/TestMain.h"

using namespace Qt::StringLiterals;
namespace testsupport {}
using namespace testsupport;
