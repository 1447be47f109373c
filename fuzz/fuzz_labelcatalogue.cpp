// Arbitrary bytes as a template file and as paper-sizes.xml: reading never
// crashes, and every product it offers is a sound sheet whose labels lie on
// its page without overlapping.
#include "labelformats/LabelCatalogue.h"

#include <QByteArray>

#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    // The first byte says whether the bytes are the paper sizes too.
    const bool papers = size > 0 && (data[0] & 1);
    const LabelCatalogue catalogue =
        LabelCatalogue::parse({{QStringLiteral("fuzz.xml"), content}}, papers ? content : QByteArray());
    for (const LabelProduct &product : catalogue.products()) {
        if (!checkLabelProduct(product).isEmpty())
            __builtin_trap();
        if (product.labelRectsMm().size() != product.labelsPerSheet())
            __builtin_trap();
        if (!catalogue.find(product.id()))
            __builtin_trap();
    }
    (void)catalogue.summary();
    (void)catalogue.search(QStringLiteral("63,5 x 38"));
    return 0;
}
