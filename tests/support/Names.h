#pragma once

// What the tests name without a prefix: Qt's string literals (u"…"_s) and the test support;
// and the toolkit's modules the suites drive, whole.
#include <QtCore>
#include <QtGui>
#include <QtNetwork>
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "support/TestMain.h"

using namespace Qt::StringLiterals;
namespace testsupport {}
using namespace testsupport;
