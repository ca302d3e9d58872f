#pragma once

#include <QTest>
#include <tuple>

// Terse data-driven tables: columns<int, QString>("a", "b"), row("name", 1, "x"), and in the test
// const auto [a, b] = fetch<int, QString>("a", "b").
template <typename... T> void row(const char *name, const T &...values) {
    (QTest::newRow(name) << ... << values);
}

template <typename... T, typename... Name> void columns(Name... names) {
    (QTest::addColumn<T>(names), ...);
}

template <typename... T, typename... Name> std::tuple<T...> fetch(Name... names) {
    return {*static_cast<T *>(QTest::qData(names, qMetaTypeId<T>()))...};
}
