#include "platform/TextUtil.h"

namespace tavolux {

QString trimText(const QString &text)
{
    int begin = 0;
    int end = int(text.size());
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

} // namespace tavolux
