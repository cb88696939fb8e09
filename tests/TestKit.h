#pragma once
// What the engine and widget tests share: options changed as applying the Options dialog does, and tables
// whose rows become data rows named by their name field.

#include "engine/Engine.h"

#include <QTest>

namespace zentimo::test {

template <class Change> void withOptions(Engine& engine, Change change)
{
    Options o = engine.options();
    change(o);
    engine.setOptions(o);
}

template <class Row, std::size_t N> void addRows(const Row (&rows)[N])
{
    QTest::addColumn<Row>("row");
    for (const Row& row : rows)
        QTest::newRow(row.name) << row;
}

} // namespace zentimo::test
