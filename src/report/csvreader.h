#pragma once

#include "report/csvimport.h"

#include <QDate>

class QIODevice;

namespace csvimport {

// Reads the days of a CSV file from the device into *out, as read() promises (csvimport.h).
void readDays(QIODevice &device, QDate today, const Progress &progress, Read *out);

} // namespace csvimport
