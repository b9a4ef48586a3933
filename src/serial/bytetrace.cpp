#include "serial/bytetrace.h"

#include "serial/trimblanks.h"

void ByteTrace::append(quint8 byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (length_ == text_.size()) {
        // Everything is kept, so trimming can be done on the text itself. Once
        // part is only counted, the text ends in hex digits and starts with a
        // non-blank, and trimming has nothing to remove.
        text_ = trimBlanks(text_);
        length_ = text_.size();
    }
    length_ += 2;
    for (const char digit : {kDigits[byte >> 4], kDigits[byte & 0x0F]}) {
        if (text_.size() < kKept) {
            text_.append(QLatin1Char(digit));
        }
    }
}

void ByteTrace::set(const QString& text) {
    text_ = text.left(kKept);
    length_ = text.size();
}
