#pragma once

#include <QString>

// Removes blanks (code 32) at both ends; tabs and other white space stay.
inline QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin).toString();
}
