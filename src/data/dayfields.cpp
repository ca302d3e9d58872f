#include "data/dayfields.h"

namespace dayfields {

std::array<Box, BoxCount> reportOrder() {
    // Each box at its slot: a slot given twice leaves another empty, which shows in every report.
    std::array<Box, BoxCount> order{};
    for (int box = 0; box < BoxCount; ++box)
        order[std::size_t(fields[std::size_t(box)].reportSlot)] = Box(box);
    return order;
}

QString sortExpression(Order order) {
    const OrderKey &key = orderKeys[order];
    const auto bracketed = [](Box box) { return u'[' + fields[box].column + u']'; };
    if (key.second == BoxCount)
        return bracketed(key.first);
    return QStringLiteral("pair_sum(%1, %2)").arg(bracketed(key.first), bracketed(key.second));
}

QString orderStatement(Order order) {
    return QStringLiteral("select * FROM [%1] ORDER BY %2 %3")
        .arg(tableName, sortExpression(order),
             orderKeys[order].descending ? QLatin1String("DESC") : QLatin1String("ASC"));
}

} // namespace dayfields
