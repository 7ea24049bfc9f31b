// Renders the program's SVG icon at build time, so that no image is kept twice:
//   qal-icon-render ICON.svg OUTDIR SIZE...      PNG images for the hicolor theme, one per size,
//                                                written as <OUTDIR>/<size>x<size>/apps/<name>.png
//   qal-icon-render --ico ICON.svg OUT.ico SIZE...  one Windows icon file holding every size
// It runs on the build host, also for a Windows cross build: the icon never needs a Windows
// program to be drawn.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxSize = 1024;
constexpr int kMaxIcoSize = 256; // an icon directory entry holds sizes up to 256 (as 0)

QImage Render(QSvgRenderer& renderer, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

void PutU16(QByteArray& out, std::uint16_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void PutU32(QByteArray& out, std::uint32_t value) {
    PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

// An icon image as Windows has always read it: a 32-bit bitmap (bottom-up, BGRA with straight
// alpha) of twice the height, followed by the 1-bit transparency mask for old renderers.
QByteArray DibEntry(const QImage& rendered) {
    const QImage image = rendered.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    PutU32(out, 40); // BITMAPINFOHEADER
    PutU32(out, static_cast<std::uint32_t>(size));
    PutU32(out, static_cast<std::uint32_t>(size * 2)); // colour rows, then mask rows
    PutU16(out, 1);                                    // planes
    PutU16(out, 32);                                   // bits per pixel
    PutU32(out, 0);                                    // BI_RGB
    PutU32(out, static_cast<std::uint32_t>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) {
        PutU32(out, 0); // resolution and palette: unused
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(row[x]) == 0) {
                mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(mask);
    }
    return out;
}

// The 256-pixel image as PNG, as Windows has read it since Vista: a bitmap would be 256 KiB.
QByteArray PngEntry(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        return {};
    }
    return out;
}

int WriteIco(const char* program, QSvgRenderer& renderer, const QString& file,
             const std::vector<int>& sizes) {
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        const QImage image = Render(renderer, size);
        images.push_back(size >= kMaxIcoSize ? PngEntry(image) : DibEntry(image));
        if (images.back().isEmpty()) {
            std::fprintf(stderr, "%s: cannot encode the %d-pixel image\n", program, size);
            return 1;
        }
    }
    QByteArray out;
    PutU16(out, 0); // reserved
    PutU16(out, 1); // an icon, not a cursor
    PutU16(out, static_cast<std::uint16_t>(sizes.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto side = static_cast<char>(sizes[i] >= kMaxIcoSize ? 0 : sizes[i]);
        out.append(side); // width
        out.append(side); // height
        out.append('\0'); // palette size: none
        out.append('\0'); // reserved
        PutU16(out, 1);   // planes
        PutU16(out, 32);  // bits per pixel
        PutU32(out, static_cast<std::uint32_t>(images[i].size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const QByteArray& image : images) {
        out.append(image);
    }
    QFile ico(file);
    if (!ico.open(QIODevice::WriteOnly | QIODevice::Truncate) || ico.write(out) != out.size() ||
        !ico.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(file));
        return 1;
    }
    return 0;
}

int WritePngs(const char* program, QSvgRenderer& renderer, const QString& source,
              const QString& folder, const std::vector<int>& sizes) {
    const QString name = QFileInfo(source).completeBaseName();
    const QDir out(folder);
    for (const int size : sizes) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = out.filePath(sub + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!out.mkpath(sub) || !Render(renderer, size).save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(file));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool ico = argc > 1 && QByteArray(argv[1]) == "--ico";
    const int first = ico ? 2 : 1; // the SVG; the output follows it, then the sizes
    if (argc < first + 3) {
        std::fprintf(
            stderr, "usage: %s ICON.svg OUTDIR SIZE...\n       %s --ico ICON.svg OUT.ico SIZE...\n",
            argv[0], argv[0]);
        return 2;
    }
    std::vector<int> sizes;
    for (int i = first + 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > (ico ? kMaxIcoSize : kMaxSize)) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 2;
        }
        sizes.push_back(size);
    }
    const QString source = QString::fromLocal8Bit(argv[first]);
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[first]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[first + 1]);
    return ico ? WriteIco(argv[0], renderer, output, sizes)
               : WritePngs(argv[0], renderer, source, output, sizes);
}
