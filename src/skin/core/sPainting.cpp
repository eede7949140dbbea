#include "skin/core/sPainting.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KESTA_HAVE_AVX2 1
#else
#define KESTA_HAVE_AVX2 0
#endif

#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"

namespace {

constexpr quint32 kOpaque = 0xFF000000u;

const TsSkinManager* managerOr(const TsSkinManager* manager) {
    return manager ? manager : TsSkinManager::DefaultManager();
}

// The bitmap an image item's pixels lie in: its own image, or the master bitmap.
const Bitmap32* itemSource(const TsMaskData& item) {
    if (item.Bmp) return item.Bmp.get();
    if (item.Manager) return &item.Manager->masterBitmap();
    return nullptr;
}

int frameOf(const TsMaskData& item, int state) {
    return std::max(0, std::min<int>(state, std::max<int>(item.ImageCount, 1) - 1));
}

// The pixel of the parent's background behind pixel (x, y) of the bitmap being painted;
// the key pixel itself when nothing is known.
quint32 parentPixel(const TCacheInfo& parent, int x, int y) {
    if (parent.Ready && parent.Bmp) {
        const int px = parent.X + x;
        const int py = parent.Y + y;
        if (px >= 0 && py >= 0 && px < parent.Bmp->width() && py < parent.Bmp->height())
            return parent.Bmp->pixel(px, py) | kOpaque;
    }
    if (parent.FillColor == clKey) return kKeyPixel;
    return FillPixel(parent.FillColor);
}

// Visits every pixel of `destination` (cut to the target) with the source pixel that lands
// on it: tiled from the top-left corner of `destination`, or stretched with nearest-colour
// sampling. `op(dst, srcPixel, source x, source y, x, y)`.
template <class Op>
void mapPiece(Bitmap32& target, const QRect& destination, const Bitmap32& source,
              const QRect& sourceArea, bool stretch, Op op) {
    if (destination.isEmpty() || sourceArea.isEmpty()) return;
    const QRect from = sourceArea & source.rect();
    if (from != sourceArea) return;  // an item that reaches outside its bitmap is not drawn
    const QRect cut = destination & target.rect();
    if (cut.isEmpty()) return;
    const int sw = sourceArea.width();
    const int sh = sourceArea.height();
    const int dw = destination.width();
    const int dh = destination.height();
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        const int ry = y - destination.top();
        const int sy = sourceArea.top() + (stretch ? int(qint64(ry) * sh / dh) : ry % sh);
        const quint32* sline = source.row(sy);
        quint32* dline = target.row(y);
        for (int x = cut.left(); x <= cut.right(); ++x) {
            const int rx = x - destination.left();
            const int sx = sourceArea.left() + (stretch ? int(qint64(rx) * sw / dw) : rx % sw);
            op(dline[x], sline[sx], sx, sy, x, y);
        }
    }
}

// (d * a + s * (255 - a) + 127) >> 8 for each byte, two bytes at a time: each 16-bit lane
// holds at most 255 * 255 + 127.
inline quint32 blendPixel(quint32 d, quint32 s, quint32 a) {
    const quint32 b = 255 - a;
    const quint32 rb = ((d & 0x00FF00FFu) * a + (s & 0x00FF00FFu) * b + 0x007F007Fu) >> 8;
    const quint32 ag = ((d >> 8 & 0x00FF00FFu) * a + (s >> 8 & 0x00FF00FFu) * b + 0x007F007Fu);
    return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

inline quint32 maskedPixel(quint32 dst, quint32 src, quint32 mask) {
    quint32 result = dst & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int((dst >> shift) & 0xFF);
        const int s = int((src >> shift) & 0xFF);
        const int m = int((mask >> shift) & 0xFF);
        result |= quint32((((d - s) * m + s * 256) >> 8) & 0xFF) << shift;
    }
    return result;
}

// One piece of a border image, tiled or stretched, with key pixels shown through to the
// parent (when asked) and other pixels copied opaque.
void keyPiece(Bitmap32& target, const QRect& destination, const Bitmap32& source,
              const QRect& sourceArea, bool stretch, const TCacheInfo* parent) {
    mapPiece(target, destination, source, sourceArea, stretch,
             [parent](quint32& dst, quint32 src, int, int, int x, int y) {
                 if (src != kKeyPixel)
                     dst = src | kOpaque;
                 else if (parent)
                     dst = parentPixel(*parent, x, y);
             });
}

// One piece through the mask lying `maskOffset` rows below it, tiled.
void maskedPiece(Bitmap32& target, const QRect& destination, const Bitmap32& source,
                 const QRect& sourceArea, int maskOffset, const TCacheInfo& parent) {
    if (sourceArea.bottom() + maskOffset >= source.height() || sourceArea.top() < 0) return;
    mapPiece(target, destination, source, sourceArea, false,
             [&](quint32& dst, quint32 src, int sx, int sy, int x, int y) {
                 if (src == kKeyPixel)
                     dst = parentPixel(parent, x, y) | kOpaque;
                 else
                     dst = maskedPixel(dst, src, source.pixel(sx, sy + maskOffset));
             });
}

struct Channels {
    double r, g, b;
};
Channels channelsOf(TColor colour) {
    const quint32 c = quint32(ColorToRGB(colour));
    return {double(c & 0xFF), double((c >> 8) & 0xFF), double((c >> 16) & 0xFF)};
}
inline quint32 pixelOf(double r, double g, double b) {
    return kOpaque | (quint32(std::clamp(RoundEven(r), 0, 255)) << 16) |
           (quint32(std::clamp(RoundEven(g), 0, 255)) << 8) |
           quint32(std::clamp(RoundEven(b), 0, 255));
}

// The colours of a band running from colour 1 to colour 2 over `length` steps, the running
// value rounded per step.
void bandColours(const TsGradPiece& piece, int length, quint32* out) {
    const Channels from = channelsOf(piece.Color1);
    const Channels to = channelsOf(piece.Color2);
    const double dr = (to.r - from.r) / length;
    const double dg = (to.g - from.g) / length;
    const double db = (to.b - from.b) / length;
    double r = from.r, g = from.g, b = from.b;
    for (int i = 0; i < length; ++i) {
        out[i] = pixelOf(r, g, b);
        r += dr;
        g += dg;
        b += db;
    }
}

// The colours along a length cut into the bands of the gradient's pieces.
std::vector<quint32> gradientLine(const TsGradArray& gradient, int length) {
    std::vector<quint32> line(size_t(std::max(length, 0)));
    int start = 0;
    for (qsizetype i = 0; i < gradient.size() && start < length; ++i) {
        const bool last = i == gradient.size() - 1;
        int band = last ? length - start : length * gradient[i].Percent / 100;
        band = std::min(band, length - start);
        if (band <= 0) continue;
        bandColours(gradient[i], band, line.data() + start);
        start += band;
    }
    // Pieces that add up to less than the length leave the rest in the last colour.
    const quint32 tail = start > 0 ? line[size_t(start - 1)]
                                   : (gradient.isEmpty() ? kOpaque : FillPixel(gradient[0].Color1));
    for (int i = start; i < length; ++i)
        line[size_t(i)] = tail;
    return line;
}

// Colours of the four triangles: a pixel takes the colour interpolated across the triangle
// its centre lies in.
void paintTriangles(Bitmap32& target, const QRect& area, const TsGradArray& gradient) {
    std::array<Channels, 5> colours{};
    for (int i = 0; i < 5; ++i) {
        const int piece = std::min<int>(i, int(gradient.size()) - 1);
        colours[size_t(i)] = channelsOf(gradient[piece].Color1);
    }
    const double w = area.width();
    const double h = area.height();
    struct Point {
        double x, y;
    };
    // top-left, centre, top-right, bottom-right, bottom-left
    const std::array<Point, 5> points{Point{0, 0}, Point{w / 2, h / 2}, Point{w, 0}, Point{w, h},
                                      Point{0, h}};
    // The four triangles in painting order; a pixel on a shared edge takes the later one.
    const std::array<std::array<int, 3>, 4> triangles{
        std::array<int, 3>{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    const QRect cut = area & target.rect();
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        quint32* line = target.row(y);
        const double py = y - area.top() + 0.5;
        const double v = py / h;
        for (int x = cut.left(); x <= cut.right(); ++x) {
            const double px = x - area.left() + 0.5;
            const double u = px / w;
            // bottom, left, right, top: the later triangle wins on its edges
            int t;
            if (v >= u && v >= 1 - u)
                t = 3;
            else if (u <= v && u <= 1 - v)
                t = 2;
            else if (u >= v && u >= 1 - v)
                t = 1;
            else
                t = 0;
            const Point& a = points[size_t(triangles[size_t(t)][0])];
            const Point& b = points[size_t(triangles[size_t(t)][1])];
            const Point& c = points[size_t(triangles[size_t(t)][2])];
            const double det = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
            const double la = ((b.y - c.y) * (px - c.x) + (c.x - b.x) * (py - c.y)) / det;
            const double lb = ((c.y - a.y) * (px - c.x) + (a.x - c.x) * (py - c.y)) / det;
            const double lc = 1 - la - lb;
            const Channels& ca = colours[size_t(triangles[size_t(t)][0])];
            const Channels& cb = colours[size_t(triangles[size_t(t)][1])];
            const Channels& cc = colours[size_t(triangles[size_t(t)][2])];
            line[x] = pixelOf(la * ca.r + lb * cb.r + lc * cc.r, la * ca.g + lb * cb.g + lc * cc.g,
                              la * ca.b + lb * cb.b + lc * cc.b);
        }
    }
}

// Gradient colours of one row of `area` for the one-pass texture blend: the whole row for
// a horizontal gradient, one repeated colour for a vertical one.
struct GradientRows {
    std::vector<quint32> line;
    bool vertical = true;
    quint32 at(int row, int column) const {
        return vertical ? line[size_t(row)] : line[size_t(column)];
    }
};

// A texture to paint: an image item, or a JPEG kept compressed.
struct Texture {
    const TsMaskData* item = nullptr;
    const JpegImage* jpeg = nullptr;
    bool valid() const { return item || jpeg; }
};

Texture findTexture(const TsSkinManager& manager, const TsSectionPaint& paint, bool hot,
                    int given) {
    Texture texture;
    if (given >= 0) {
        if (manager.IsValidImage(given) && manager.images()[size_t(given)].MaskType == 0)
            texture.item = &manager.images()[size_t(given)];
        return texture;
    }
    const QString key = hot ? QStringLiteral("HOTPATTERN") : QStringLiteral("PATTERN");
    const int index = manager.FindImage(paint.SectionIndex, paint.SectionName, key);
    if (manager.IsValidImage(index)) {
        texture.item = &manager.images()[size_t(index)];
        return texture;
    }
    const int large = manager.FindLargeTexture(paint.SectionIndex, paint.SectionName, key);
    if (large >= 0 && size_t(large) < manager.largeTextures().size() &&
        manager.largeTextures()[size_t(large)].Img)
        texture.jpeg = manager.largeTextures()[size_t(large)].Img.get();
    return texture;
}

void paintTexture(Bitmap32& target, const QRect& area, const Texture& texture, TColor fill) {
    if (texture.item)
        PaintTexture(target, area, *texture.item, fill);
    else if (texture.jpeg)
        texture.jpeg->tile(target, area);
}

// The gradient (or the plain colour without one) straight into the area.
void paintGradientOrColour(Bitmap32& target, const QRect& area, const TsGradArray& gradient,
                           TColor colour) {
    if (gradient.isEmpty() || gradient[0].Mode < 0 || gradient[0].Mode > 2)
        FillRect32(target, area, colour);
    else
        PaintGradient(target, area, gradient);
}

// A share of 0..100 percent as an alpha of 0..255; shares beyond either end count as the end.
int shareAlpha(int percent) {
    return std::clamp(percent, 0, 100) * 255 / 100;
}

// The own look of a state: texture, gradient and colour in their shares.
void paintOwnLook(Bitmap32& target, const QRect& area, const TsGenState& look, TColor colour,
                  const Texture& texture) {
    const int image = look.ImagePercent;
    const int gradient = look.GradientPercent;
    // Shares come from the skin text as they are written; their sum is taken without overflow.
    const qint64 shares = qint64(image) + gradient;
    const TsGradArray& pieces = look.GradientArray;
    const int textureAlpha = shareAlpha(image);

    // Texture tiled whole and a gradient along rows or columns: blended row by row, with no
    // work bitmap.
    if (shares == 100 && gradient >= 1 && gradient <= 99 && texture.item &&
        texture.item->DrawMode == 0 && !pieces.isEmpty() && pieces[0].Mode < 2 &&
        pieces[0].Mode >= 0) {
        PaintTexture(target, area, *texture.item, colour);
        const QRect cut = area & target.rect();
        GradientRows rows;
        rows.vertical = pieces[0].Mode == 0;
        rows.line = gradientLine(pieces, rows.vertical ? area.height() : area.width());
        const quint32 a = quint32(textureAlpha);
        for (int y = cut.top(); y <= cut.bottom(); ++y) {
            quint32* line = target.row(y);
            for (int x = cut.left(); x <= cut.right(); ++x) {
                line[x] = blendPixel(line[x], rows.at(y - area.top(), x - area.left()), a);
            }
        }
        return;
    }

    bool textured = false;
    if (image > 0) {
        if (texture.valid()) {
            paintTexture(target, area, texture, colour);
        } else {
            FillRect32(target, area, colour);  // a share of a texture the skin lacks: colour
        }
        textured = true;
    }
    if (gradient > 0) {
        if (textured) {
            Bitmap32 work = CreateBitmap32(area.width(), area.height());
            paintGradientOrColour(work, work.rect(), pieces, colour);
            BlendBitmaps(target, work, textureAlpha, area.topLeft(), work.rect());
        } else {
            paintGradientOrColour(target, area, pieces, colour);
        }
    }
    if (shares <= 0)
        FillRect32(target, area, colour);
    else if (shares <= 99)
        BlendColour(target, area, int(shares), colour);
}

// The border image over the area, the parent's offset shifted by the offset point.
void drawBorderAt(Bitmap32& target, const QRect& area, const TsMaskData& border, int state,
                  const TCacheInfo& parent, QPoint offset) {
    TCacheInfo shifted = parent;
    shifted.X += offset.x();
    shifted.Y += offset.y();
    DrawBorderImage(target, area, true, 1, state, border, shifted);
}

// Tiles a masked texture over the area, each tile through its mask.
void tileMasked(Bitmap32& target, const QRect& area, const TsMaskData& item,
                const TCacheInfo& parent) {
    const Bitmap32* source = itemSource(item);
    if (!source) return;
    const QRect frame = FrameRect(item, 0);
    maskedPiece(target, area, *source, frame, TsSkinModel::FrameHeight(item), parent);
}

}  // namespace

int RoundEven(double value) {
    return int(std::nearbyint(value));
}

Bitmap32 CreateBitmap32(int width, int height) {
    return Bitmap32(std::max(width, 0), std::max(height, 0));
}

int LimitState(const TsGeneralData& section, int state) {
    return std::clamp(state, 0, std::max(section.States - 1, 0));
}

int LimitState(const TsCommonData& data, int state) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || !manager->IsValidSection(data.SkinIndex)) return 0;
    return LimitState(manager->sections()[data.SkinIndex], state);
}

const TsGenState& StateLook(const TsGeneralData& section, int state) {
    return section.Props[LimitState(section, state) > 0 ? 1 : 0];
}

QRect FrameRect(const TsMaskData& item, int frame) {
    if (item.R.width() <= 0 && item.Bmp) return QRect(0, 0, item.Bmp->width(), item.Bmp->height());
    const int width = TsSkinModel::FrameWidth(item);
    const int height = item.MaskType < 0 ? item.R.height() : TsSkinModel::FrameHeight(item);
    return QRect(item.R.Left + frame * width, item.R.Top, width, height);
}

void CopyParentBackground(Bitmap32& target, const QRect& area, const TCacheInfo& parent) {
    if (parent.Ready && parent.Bmp) {
        if (parent.Bmp == &target) return;
        const QRect cut = area & target.rect();
        for (int y = cut.top(); y <= cut.bottom(); ++y) {
            quint32* line = target.row(y);
            for (int x = cut.left(); x <= cut.right(); ++x)
                line[x] = parentPixel(parent, x, y);
        }
        return;
    }
    FillRect32(target, area, parent.FillColor);
}

void FillRect32(Bitmap32& bitmap, const QRect& area, TColor colour) {
    const QRect cut = area & bitmap.rect();
    if (cut.isEmpty()) return;
    const quint32 pixel = FillPixel(colour);
    for (int y = cut.top(); y <= cut.bottom(); ++y)
        std::fill_n(bitmap.row(y) + cut.left(), cut.width(), pixel);
}

void SolidFill(QPainter& painter, const QRect& area, TColor colour) {
    painter.fillRect(area, ToQColor(colour));
}

void SolidFillEdges(QPainter& painter, const QRect& area, int left, int top, int right, int bottom,
                    TColor colour) {
    const int x = area.left();
    const int y = area.top();
    const int w = area.width();
    const int h = area.height();
    if (top > 0) SolidFill(painter, QRect(x, y, w, top), colour);
    if (left > 0) SolidFill(painter, QRect(x, y + top, left, h - top), colour);
    if (bottom > 0) SolidFill(painter, QRect(x + left, y + h - bottom, w - left, bottom), colour);
    if (right > 0)
        SolidFill(painter, QRect(x + w - right, y + top, right, h - top - bottom), colour);
}

#if KESTA_HAVE_AVX2
namespace {

// (d * a + s * b + 127) >> 8 on bytes widened to 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i mixAvx2(__m256i d16, __m256i s16, __m256i wa,
                                                       __m256i wb) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d16, wa), _mm256_mullo_epi16(s16, wb)),
                         _mm256_set1_epi16(127)),
        8);
}

// Eight pixels at a time where the processor has AVX2; answers how many pixels it blended.
__attribute__((target("avx2"))) int blendRowAvx2(quint32* d, const quint32* s, int width, quint32 a,
                                                 quint32 b) {
    const __m256i wa = _mm256_set1_epi16(short(a));
    const __m256i wb = _mm256_set1_epi16(short(b));
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + x));
        const __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
        const __m256i lo =
            mixAvx2(_mm256_unpacklo_epi8(dp, zero), _mm256_unpacklo_epi8(sp, zero), wa, wb);
        const __m256i hi =
            mixAvx2(_mm256_unpackhi_epi8(dp, zero), _mm256_unpackhi_epi8(sp, zero), wa, wb);
        // Unpacking and packing both work within 128-bit halves, so the order is kept.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_packus_epi16(lo, hi));
    }
    return x;
}

}  // namespace
#endif

void BlendBitmaps(Bitmap32& target, const Bitmap32& source, int alpha, QPoint destination,
                  const QRect& sourceArea) {
    if (target.width() < 2 || target.height() < 2 || source.width() < 2 || source.height() < 2)
        return;
    QRect from = sourceArea & source.rect();
    if (from.isEmpty()) return;
    const QRect to(destination + (from.topLeft() - sourceArea.topLeft()), from.size());
    const QRect cut = to & target.rect();
    if (cut.isEmpty()) return;
    from.translate(cut.topLeft() - to.topLeft());
    const quint32 a = quint32(std::clamp(alpha, 0, 255));
    const quint32 b = 255 - a;
    for (int y = 0; y < cut.height(); ++y) {
        quint32* d = target.row(cut.top() + y) + cut.left();
        const quint32* s = source.row(from.top() + y) + from.left();
        int x = 0;
#if KESTA_HAVE_AVX2
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2) x = blendRowAvx2(d, s, cut.width(), a, b);
#endif
#ifdef __SSE2__
        // Four pixels at a time, every byte widened to a 16-bit lane; a lane holds at most
        // 255 * 255 + 127, so the sum never overflows it.
        const __m128i wa = _mm_set1_epi16(short(a));
        const __m128i wb = _mm_set1_epi16(short(b));
        const __m128i half = _mm_set1_epi16(127);
        const __m128i zero = _mm_setzero_si128();
        for (; x + 4 <= cut.width(); x += 4) {
            const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
            const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
            const auto mix = [&](__m128i d16, __m128i s16) {
                return _mm_srli_epi16(
                    _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, wa), _mm_mullo_epi16(s16, wb)),
                                  half),
                    8);
            };
            const __m128i lo = mix(_mm_unpacklo_epi8(dp, zero), _mm_unpacklo_epi8(sp, zero));
            const __m128i hi = mix(_mm_unpackhi_epi8(dp, zero), _mm_unpackhi_epi8(sp, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(lo, hi));
        }
#endif
        // The rest of the row a pixel at a time.
        for (; x < cut.width(); ++x)
            d[x] = blendPixel(d[x], s[x], a);
    }
}

void BlendColour(Bitmap32& bitmap, const QRect& area, int percent, TColor colour) {
    const QRect cut = area & bitmap.rect();
    if (cut.isEmpty()) return;
    const double e = percent / 100.0;
    const quint32 c = quint32(ColorToRGB(colour));
    // One table per channel: the mixed value for each of the 256 pixel values.
    std::array<std::array<quint32, 256>, 3> table{};
    const std::array<int, 3> shifts{0, 8, 16};  // blue, green, red in the pixel
    const std::array<double, 3> channel{double((c >> 16) & 0xFF), double((c >> 8) & 0xFF),
                                        double(c & 0xFF)};
    for (size_t k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v)
            table[k][size_t(v)] =
                quint32(std::clamp(RoundEven(e * v + (1 - e) * channel[k]), 0, 255)) << shifts[k];
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        quint32* line = bitmap.row(y);
        for (int x = cut.left(); x <= cut.right(); ++x) {
            const quint32 p = line[x];
            line[x] = (p & 0xFF000000u) | table[0][p & 0xFF] | table[1][(p >> 8) & 0xFF] |
                      table[2][(p >> 16) & 0xFF];
        }
    }
}

TColor MixColours(TColor a, TColor b, double x) {
    const quint32 ca = quint32(a);
    const quint32 cb = quint32(b);
    quint32 result = ca & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double va = (ca >> shift) & 0xFF;
        const double vb = (cb >> shift) & 0xFF;
        result |= quint32(std::clamp(RoundEven(x * va + (1 - x) * vb), 0, 255)) << shift;
    }
    return TColor(result);
}

void KeyCopy(Bitmap32& target, QPoint destination, const Bitmap32& source, const QRect& sourceArea,
             const TCacheInfo* parent) {
    const QRect from = sourceArea & source.rect();
    if (from.isEmpty()) return;
    keyPiece(target, QRect(destination + (from.topLeft() - sourceArea.topLeft()), from.size()),
             source, from, false, parent);
}

void MaskedCopy(Bitmap32& target, QPoint destination, const Bitmap32& source,
                const QRect& sourceArea, int maskOffset, const TCacheInfo& parent) {
    maskedPiece(target, QRect(destination, sourceArea.size()), source, sourceArea, maskOffset,
                parent);
}

void DrawImageFrame(Bitmap32& target, QPoint position, int state, const TCacheInfo& parent,
                    const TsMaskData& item, int blend) {
    const Bitmap32* source = itemSource(item);
    if (!source || source->isNull()) return;
    const QRect frame = FrameRect(item, frameOf(item, state));
    if (frame.isEmpty() || (frame & source->rect()) != frame) return;
    const QRect destination(position, frame.size());
    if (item.MaskType > 0) {
        const int maskOffset = frame.height();
        if (frame.bottom() + maskOffset >= source->height()) return;
        mapPiece(target, destination, *source, frame, false,
                 [&](quint32& dst, quint32 src, int sx, int sy, int, int) {
                     if (src == kKeyPixel) return;
                     const quint32 mask = source->pixel(sx, sy + maskOffset);
                     const quint32 maskRed = (mask >> 16) & 0xFF;
                     if (maskRed == 255) return;
                     const quint32 alpha = dst >> 24;
                     const quint32 grown = alpha + (255 - maskRed) * (255 - alpha) / 255;
                     dst = (maskedPixel(dst, src, mask) & 0x00FFFFFFu) | (grown << 24);
                 });
    } else if (item.Bmp) {
        keyPiece(target, destination, *source, frame, false, nullptr);
    } else if (blend == 1) {
        keyPiece(target, destination, *source, frame, false, &parent);
    } else {
        mapPiece(target, destination, *source, frame, false,
                 [](quint32& dst, quint32 src, int, int, int, int) {
                     if (src == kKeyPixel) return;
                     quint32 result = 0;
                     for (int shift = 0; shift < 32; shift += 8) {
                         const int s = int((src >> shift) & 0xFF);
                         const int d = int((dst >> shift) & 0xFF);
                         result |= quint32(RoundEven(s + (d - s) * 0.5)) << shift;
                     }
                     dst = result;
                 });
    }
}

namespace {
// The margins of a border image shrunk to fit a rectangle of width by height.
void fitMargins(const TsMaskData& item, int width, int height, int& wl, int& wt, int& wr, int& wb) {
    wl = item.WL, wt = item.WT, wr = item.WR, wb = item.WB;
    if (width < wl + wr) {
        const int cut = (wl + wr - width) / 2;
        wl = std::max(wl - cut, 0);
        wr = std::max(wr - cut - (width % 2), 0);
    }
    if (height < wt + wb) {
        const int cut = (wt + wb - height) / 2;
        wt = std::max(wt - cut, 0);
        wb = std::max(wb - cut - (height % 2), 0);
    }
}
}  // namespace

QRegion BorderCutOff(const TsMaskData& item, int state, QSize size) {
    QRegion cut;
    if (state == 0 && (item.DrawMode & dmNoBorderInState0)) return cut;
    if (size.width() < 2 || size.height() < 2) return cut;
    const Bitmap32* source = itemSource(item);
    if (!source || source->isNull()) return cut;
    int wl, wt, wr, wb;
    fitMargins(item, size.width(), size.height(), wl, wt, wr, wb);
    const QRect frame = FrameRect(item, frameOf(item, state));
    const int fw = frame.width(), fh = frame.height();
    if (fw - wl - wr < 0 || fh - wt - wb < 0) return cut;
    const int w = size.width(), h = size.height();
    // Each corner piece: where it lies in the source, and where on the control.
    const std::pair<QRect, QPoint> corners[] = {
        {QRect(frame.left(), frame.top(), wl, wt), QPoint(0, 0)},
        {QRect(frame.left() + fw - wr, frame.top(), wr, wt), QPoint(w - wr, 0)},
        {QRect(frame.left(), frame.top() + fh - wb, wl, wb), QPoint(0, h - wb)},
        {QRect(frame.left() + fw - wr, frame.top() + fh - wb, wr, wb), QPoint(w - wr, h - wb)}};
    for (const auto& [from, to] : corners) {
        const QRect piece = from & source->rect();
        for (int y = piece.top(); y <= piece.bottom(); ++y) {
            int run = -1;  // where a run of see-through pixels began
            for (int x = piece.left(); x <= piece.right() + 1; ++x) {
                // Key pixels show the parent (a mask only mixes the piece into the
                // control's own background).
                const bool through = x <= piece.right() && source->pixel(x, y) == kKeyPixel;
                if (through && run < 0) run = x;
                if (!through && run >= 0) {
                    cut += QRect(to.x() + run - from.left(), to.y() + y - from.top(), x - run, 1);
                    run = -1;
                }
            }
        }
    }
    return cut & QRect(QPoint(0, 0), size);
}

void DrawBorderImage(Bitmap32& target, const QRect& area, bool keyToParent, int /*blend*/,
                     int state, const TsMaskData& item, const TCacheInfo& parent) {
    if (state == 0 && (item.DrawMode & dmNoBorderInState0)) return;
    if (area.width() < 2 || area.height() < 2 || !item.Manager) return;
    const Bitmap32* source = itemSource(item);
    if (!source || source->isNull()) return;

    int wl, wt, wr, wb;
    const int width = area.width();
    const int height = area.height();
    fitMargins(item, width, height, wl, wt, wr, wb);

    const QRect frame = FrameRect(item, frameOf(item, state));
    const int fw = frame.width();
    const int fh = frame.height();
    const int midW = fw - wl - wr;
    const int midH = fh - wt - wb;
    if (midW < 0 || midH < 0) return;
    const int sx = frame.left();
    const int sy = frame.top();
    const int l = area.left(), t = area.top(), r = area.left() + width, b = area.top() + height;

    // Source and destination of the nine pieces.
    const QRect srcTL(sx, sy, wl, wt), dstTL(l, t, wl, wt);
    const QRect srcTR(sx + fw - wr, sy, wr, wt), dstTR(r - wr, t, wr, wt);
    const QRect srcBL(sx, sy + fh - wb, wl, wb), dstBL(l, b - wb, wl, wb);
    const QRect srcBR(sx + fw - wr, sy + fh - wb, wr, wb), dstBR(r - wr, b - wb, wr, wb);
    const QRect srcT(sx + wl, sy, midW, wt), dstT(l + wl, t, width - wl - wr, wt);
    const QRect srcB(sx + wl, sy + fh - wb, midW, wb), dstB(l + wl, b - wb, width - wl - wr, wb);
    const QRect srcL(sx, sy + wt, wl, midH), dstL(l, t + wt, wl, height - wt - wb);
    const QRect srcR(sx + fw - wr, sy + wt, wr, midH), dstR(r - wr, t + wt, wr, height - wt - wb);
    const QRect srcM(sx + wl, sy + wt, midW, midH),
        dstM(l + wl, t + wt, width - wl - wr, height - wt - wb);

    if (item.MaskType > 0) {
        const int maskOffset = TsSkinModel::FrameHeight(item);
        for (const auto& [from, to] :
             {std::pair{srcTL, dstTL}, std::pair{srcTR, dstTR}, std::pair{srcBL, dstBL},
              std::pair{srcBR, dstBR}, std::pair{srcT, dstT}, std::pair{srcB, dstB},
              std::pair{srcL, dstL}, std::pair{srcR, dstR}})
            maskedPiece(target, to, *source, from, maskOffset, parent);
        return;
    }
    const TCacheInfo* keyParent = keyToParent ? &parent : nullptr;
    const bool stretch = item.DrawMode & dmStretch;
    for (const auto& [from, to] : {std::pair{srcTL, dstTL}, std::pair{srcTR, dstTR},
                                   std::pair{srcBL, dstBL}, std::pair{srcBR, dstBR}})
        keyPiece(target, to, *source, from, false, keyParent);
    for (const auto& [from, to] : {std::pair{srcT, dstT}, std::pair{srcB, dstB},
                                   std::pair{srcL, dstL}, std::pair{srcR, dstR}})
        keyPiece(target, to, *source, from, stretch, keyParent);
    if (item.DrawMode & dmFillMiddle) keyPiece(target, dstM, *source, srcM, stretch, keyParent);
}

void PaintGradient(Bitmap32& target, const QRect& area, const TsGradArray& gradient) {
    const QRect cut = area & target.rect();
    if (cut.isEmpty() || gradient.isEmpty()) return;
    switch (gradient[0].Mode) {
        case 0: {
            const std::vector<quint32> line = gradientLine(gradient, area.height());
            for (int y = cut.top(); y <= cut.bottom(); ++y)
                std::fill_n(target.row(y) + cut.left(), cut.width(), line[size_t(y - area.top())]);
            break;
        }
        case 1: {
            const std::vector<quint32> line = gradientLine(gradient, area.width());
            for (int y = cut.top(); y <= cut.bottom(); ++y)
                std::memcpy(target.row(y) + cut.left(), line.data() + (cut.left() - area.left()),
                            size_t(cut.width()) * 4);
            break;
        }
        case 2:
            paintTriangles(target, area, gradient);
            break;
        default:
            break;
    }
}

void PaintTexture(Bitmap32& target, const QRect& area, const TsMaskData& item, TColor fill) {
    const Bitmap32* source = itemSource(item);
    const QRect frame = source ? FrameRect(item, 0) : QRect();
    if (!source || frame.isEmpty() || (frame & source->rect()) != frame) {
        FillRect32(target, area, fill);
        return;
    }
    const int fw = frame.width();
    const int fh = frame.height();
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    QRect covered;
    bool stretch = false;
    switch (item.DrawMode) {
        case 0:
        case 10:
            covered = area;
            break;
        case 1:
            covered = area;
            stretch = true;
            break;
        case 2:
            covered = QRect(l, t, w, fh);
            break;
        case 3:
            covered = QRect(l, t, fw, h);
            break;
        case 4:
            covered = QRect(l, t, w, fh);
            stretch = true;
            break;
        case 5:
            covered = QRect(l, t, fw, h);
            stretch = true;
            break;
        case 6:
            covered = QRect(l, t + h - fh, w, fh);
            break;
        default:
            covered = QRect(l + w - fw, t, fw, h);
            break;
    }
    covered &= area;
    const quint32 fillPixel = FillPixel(fill);
    if (covered != area || item.MaskType > 0) FillRect32(target, area, fill);
    if (item.MaskType > 0) {
        const TCacheInfo parent = MakeCacheInfo(fill);
        maskedPiece(target, covered, *source, frame, TsSkinModel::FrameHeight(item), parent);
        return;
    }
    mapPiece(target, covered, *source, frame, stretch,
             [fillPixel](quint32& dst, quint32 src, int, int, int, int) {
                 dst = src == kKeyPixel ? fillPixel : (src | kOpaque);
             });
}

void PaintBackground(Bitmap32& target, const TsSectionPaint& paint) {
    const TsSkinManager* manager = managerOr(paint.Manager);
    if (!manager || !manager->IsValidSection(paint.SectionIndex)) return;
    const QRect area = paint.Area;
    if (area.isEmpty() || !target.rect().contains(area)) return;
    const TsGeneralData& section = manager->sections()[paint.SectionIndex];
    const int state = LimitState(section, paint.State);
    const bool hot = state > 0;
    TsGenState look = StateLook(section, state);
    if (paint.CustomColor != clKey) {
        look.Color = paint.CustomColor;
        look.Transparency = 0;
    }
    const TColor colour = look.Color;
    const int transparency = look.Transparency;

    Texture texture;
    if (look.ImagePercent > 0 && transparency != 100)
        texture = findTexture(*manager, paint, hot, hot ? paint.HotTexture : paint.Texture);
    const TCacheInfo& parent = paint.Parent;

    if (transparency == 0 || (!parent.Ready && parent.FillColor == clKey)) {
        paintOwnLook(target, area, look, colour, texture);
    } else if (transparency >= 100) {
        CopyParentBackground(target, area, parent);
    } else {
        const bool shaded = look.GradientPercent > 0 || (look.ImagePercent > 0);
        if ((parent.Ready && parent.Bmp) || shaded) {
            Bitmap32 work = CreateBitmap32(area.width(), area.height());
            paintOwnLook(work, work.rect(), look, colour, texture);
            CopyParentBackground(target, area, parent);
            BlendBitmaps(target, work, shareAlpha(transparency), area.topLeft(), work.rect());
        } else {
            FillRect32(
                target, area,
                MixColours(ColorToRGB(parent.FillColor), ColorToRGB(colour), transparency / 100.0));
        }
    }

    // A masked texture drawn over the result in the normal state.
    if (state == 0) {
        const int given = paint.Texture >= 0 ? paint.Texture : paint.HotTexture;
        if (manager->IsValidImage(given)) {
            const TsMaskData& item = manager->images()[size_t(given)];
            if (item.MaskType > 0 && item.DrawMode == 10) tileMasked(target, area, item, parent);
        }
    }
}

void PaintSection(Bitmap32& target, const TsSectionPaint& paint) {
    const TsSkinManager* manager = managerOr(paint.Manager);
    if (target.isNull() || paint.Area.isEmpty() || !target.rect().contains(paint.Area) ||
        !manager || !manager->IsValidSection(paint.SectionIndex))
        return;
    const TsGeneralData& section = manager->sections()[paint.SectionIndex];
    TsSectionPaint limited = paint;
    limited.Manager = manager;
    limited.State = LimitState(section, paint.State);
    PaintBackground(target, limited);

    const QRect& r = paint.Area;
    const auto corner = [&](int index, auto place) {
        if (!manager->IsValidImage(index)) return;
        const TsMaskData& item = manager->images()[size_t(index)];
        DrawImageFrame(target, place(item), limited.State, paint.Parent, item, 1);
    };
    corner(section.ImgCorners[ctTopLeft], [&](const TsMaskData&) { return r.topLeft(); });
    corner(section.ImgCorners[ctTopRight], [&](const TsMaskData& item) {
        return QPoint(r.left() + r.width() - TsSkinModel::FrameWidth(item), r.top());
    });
    corner(section.ImgCorners[ctBottomLeft], [&](const TsMaskData& item) {
        return QPoint(r.left(), r.top() + r.height() - TsSkinModel::FrameHeight(item));
    });
    corner(section.ImgCorners[ctBottomRight], [&](const TsMaskData& item) {
        return QPoint(r.left() + r.width() - TsSkinModel::FrameWidth(item),
                      r.top() + r.height() - TsSkinModel::FrameHeight(item));
    });

    if (paint.DrawBorder && manager->IsValidImage(section.BorderIndex))
        drawBorderAt(target, r, manager->images()[size_t(section.BorderIndex)], limited.State,
                     paint.Parent, paint.Offset);
}

void PaintControlSection(const TsCommonData& data, const TCacheInfo& parent, int state,
                         Bitmap32& target, QPoint offset, const QRect& area) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || !manager->IsValidSection(data.SkinIndex)) return;
    if (target.isNull() || area.isEmpty() || !target.rect().contains(area)) return;
    const TsGeneralData& section = manager->sections()[data.SkinIndex];

    TsSectionPaint paint;
    paint.SectionIndex = data.SkinIndex;
    paint.SectionName = data.SkinSection();
    paint.Parent = parent;
    paint.CustomColor = data.CustomColor ? ColorToRGB(data.OwnerColour()) : clKey;
    paint.Texture = data.Texture;
    paint.HotTexture = data.HotTexture;
    paint.Manager = manager;
    paint.Offset = offset;
    paint.Area = area;
    paint.State = LimitState(section, state);
    paint.DrawBorder = false;
    PaintSection(target, paint);

    bool bordered = false;
    if (manager->IsValidImage(data.BorderIndex)) {
        const TsMaskData& border = manager->images()[size_t(data.BorderIndex)];
        if (!(paint.State == 0 && (border.DrawMode & dmNoBorderInState0))) {
            drawBorderAt(target, area, border, paint.State, parent, offset);
            bordered = true;
        }
    }
    const int transparency =
        paint.CustomColor != clKey ? 0 : StateLook(section, paint.State).Transparency;
    if (transparency == 0 || bordered) {
        const int hue = ControlHue(data);
        const int saturation = ControlSaturation(data);
        if (hue != 0) ChangeHue(target, hue);
        if (saturation != 0) ChangeSaturation(target, saturation);
    }
}
