#pragma once

// Data-driven tests whose columns are all text, one row a line.
#include <QStringList>
#include <QTest>
#include <array>
#include <vector>

// The columns of the last textTable, in order.
inline std::vector<const char*>& tableColumns() {
    static std::vector<const char*> columns;
    return columns;
}

// A data table whose columns are all text: each row is "tag~value~value...".
inline void textTable(std::initializer_list<const char*> columns, std::initializer_list<const char*> rows) {
    tableColumns().assign(columns);
    for (const char* c : columns) // QtTest keeps the name pointer: literals only
        QTest::addColumn<QString>(c);
    for (const char* row : rows) {
        QStringList values = QString::fromUtf8(row).split(u'~');
        QTestData& data = QTest::newRow(values.takeFirst().toUtf8().constData());
        for (const QString& v : values)
            data << v;
    }
}

// The current row of a textTable, its N columns in order: `const auto [a, b] = fetch<2>();`
template <size_t N> std::array<QString, N> fetch() {
    std::array<QString, N> row;
    for (size_t i = 0; i < N; ++i)
        row[i] = *static_cast<QString*>(QTest::qData(tableColumns().at(i), QMetaType::QString));
    return row;
}
