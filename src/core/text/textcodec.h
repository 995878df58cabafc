#pragma once

#include <QByteArrayView>
#include <QString>

// Text of one received line: UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252,
// the encoding older clients on the network still send.
QString decodeLine(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
