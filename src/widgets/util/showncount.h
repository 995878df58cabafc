#pragma once

#include <QString>

// A count as a short label shows it: "99+" beyond 99, so a flood cannot widen the label.
inline QString shownCount(int count)
{
    return count > 99 ? QStringLiteral("99+") : QString::number(count);
}
