#include "ImportBenchFiles.h"

#include "Harness.h"

#include <QDir>
#include <QFile>

namespace tavolux::bench {

QString importCsv(int rows)
{
    const QString folder = qEnvironmentVariable("TAVOLUX_BENCH_DATA", scratchFolder()) + QStringLiteral("/import");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/rubrica-%1.csv").arg(rows);
    if (QFile::exists(path))
        return path;
    QFile file(path + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("First Name;Last Name;Company;Business Street;Business Postal Code;Business City;Business State;"
               "Business Country/Region;Notes;E-mail Address\r\n");
    QByteArray chunk;
    for (int i = 1; i <= rows; ++i) {
        chunk += QStringLiteral("Nome%1;Cognome%1;\"Società %2; S.r.l.\";Via Giuseppe Garibaldi %1;%3;Città %2;MI;"
                                "Italia;\"Cliente dal 2019, è chiuso il lunedì\";nome%1@esempio.it\r\n")
                         .arg(i)
                         .arg(i % 97)
                         .arg(10000 + i % 90000)
                         .toUtf8();
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    file.close();
    QFile::rename(path + QStringLiteral(".part"), path);
    return path;
}

} // namespace tavolux::bench
