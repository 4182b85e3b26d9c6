#pragma once

// The tests write their texts as u"…"_s.
#include <QString>

using namespace Qt::StringLiterals;
