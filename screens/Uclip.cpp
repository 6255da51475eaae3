#include "screens/Uclip.h"

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <QPainter>
#include <QRegularExpression>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <unordered_map>

#include "club/Ufile.h"
#include "screens/Clickpanel.h"

namespace {

constexpr int kMsPerPicture = 1000 / kClipFps;

// The clip's pictures, painted one at a time as the encoder asks for them:
// a whole clip held at once came to half a gigabyte.
using TPictureSource = std::function<QImage(size_t)>;

// ---- WebP ------------------------------------------------------------------------

std::vector<uint8_t> EncodeWebP(size_t count, const TPictureSource& picture) {
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) throw VantorelError("libwebp: wrong library version");
  options.anim_params.loop_count = 0;  // for ever
  options.kmax = 0;                    // no key frames beyond the first: pictures differ in little
  options.allow_mixed = 0;
  std::unique_ptr<WebPAnimEncoder, void (*)(WebPAnimEncoder*)> enc(
      WebPAnimEncoderNew(kClipWidth, kClipHeight, &options), WebPAnimEncoderDelete);
  if (!enc) throw VantorelError("libwebp: no encoder");
  // The first picture is stored as painted (lossless); the later ones store
  // only what changed, lossy: the turf a running player uncovers is fine
  // grain that would cost tens of kilobytes a picture without loss.
  WebPConfig first, later;
  if (!WebPConfigInit(&first) || !WebPConfigInit(&later)) throw VantorelError("libwebp: wrong library version");
  first.lossless = 1;
  first.method = 0;
  first.quality = 10;
  // An 11-s goal at 25 pictures a second: about 2 MB, 2 s of one core.
  later.method = 2;
  later.quality = 75;
  int timestamp = 0;
  for (size_t k = 0; k < count; ++k) {
    const QImage img = picture(k);
    WebPConfig& config = timestamp == 0 ? first : later;
    WebPPicture pic;
    WebPPictureInit(&pic);
    pic.use_argb = 1;
    pic.width = img.width();
    pic.height = img.height();
    // Format_RGB32 lies in memory as B, G, R, 0xff on this little-endian machine.
    const bool ok = WebPPictureImportBGRA(&pic, img.constBits(), int(img.bytesPerLine())) &&
                    WebPAnimEncoderAdd(enc.get(), &pic, timestamp, &config);
    WebPPictureFree(&pic);
    if (!ok) throw VantorelError(std::string("libwebp: ") + WebPAnimEncoderGetError(enc.get()));
    timestamp += kMsPerPicture;
  }
  WebPAnimEncoderAdd(enc.get(), nullptr, timestamp, nullptr);
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAssemble(enc.get(), &data))
    throw VantorelError(std::string("libwebp: ") + WebPAnimEncoderGetError(enc.get()));
  std::vector<uint8_t> out(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  return out;
}

// ---- GIF -------------------------------------------------------------------------

constexpr int kTransparent = 255;  // palette entries 0 .. 254 are colours

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int n) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + n);
  return n;
}

// The palette of the first picture, and the nearest entry of any colour.
class TPalette {
 public:
  explicit TPalette(const QImage& first) {
    const int n = first.width() * first.height();
    const auto count = static_cast<size_t>(n);
    std::vector<GifByteType> r(count), g(count), b(count), index(count);
    for (int y = 0, k = 0; y < first.height(); ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(first.constScanLine(y));
      for (int x = 0; x < first.width(); ++x, ++k) {
        r[size_t(k)] = GifByteType(qRed(line[x]));
        g[size_t(k)] = GifByteType(qGreen(line[x]));
        b[size_t(k)] = GifByteType(qBlue(line[x]));
      }
    }
    int size = kTransparent;
    colours_.resize(256);
    if (GifQuantizeBuffer(unsigned(first.width()), unsigned(first.height()), &size, r.data(), g.data(), b.data(),
                          index.data(), colours_.data()) == GIF_ERROR)
      throw VantorelError("giflib: the palette could not be made");
    count_ = size;
    colours_[kTransparent] = {0, 0, 0};
  }
  GifByteType Index(QRgb c) {
    const uint32_t key = c & 0xFFFFFFu;
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    int best = 0;
    long bestD = -1;
    for (int i = 0; i < count_; ++i) {
      const long dr = long(colours_[size_t(i)].Red) - qRed(c), dg = long(colours_[size_t(i)].Green) - qGreen(c),
                 db = long(colours_[size_t(i)].Blue) - qBlue(c);
      const long d = dr * dr + dg * dg + db * db;
      if (bestD < 0 || d < bestD) {
        bestD = d;
        best = i;
      }
    }
    cache_[key] = GifByteType(best);
    return GifByteType(best);
  }
  const std::vector<GifColorType>& Colours() const { return colours_; }

 private:
  std::vector<GifColorType> colours_;
  int count_ = 0;
  std::unordered_map<uint32_t, GifByteType> cache_;
};

std::vector<uint8_t> EncodeGif(size_t count, const TPictureSource& picture) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
  if (!gif) throw VantorelError(std::string("giflib: ") + GifErrorString(error));
  auto fail = [&](const char* what) {
    EGifCloseFile(gif, &error);
    throw VantorelError(std::string("giflib: ") + what);
  };
  QImage img = picture(0);
  TPalette palette(img);
  ColorMapObject* map = GifMakeMapObject(256, palette.Colours().data());
  EGifSetGifVersion(gif, true);
  const int put = EGifPutScreenDesc(gif, kClipWidth, kClipHeight, 8, 0, map);
  GifFreeMapObject(map);
  if (put == GIF_ERROR) fail("screen");
  // Played for ever.
  const GifByteType loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_ERROR || EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif) == GIF_ERROR)
    fail("loop");

  const int w = kClipWidth, h = kClipHeight;
  std::vector<GifByteType> shown(static_cast<size_t>(w * h), kTransparent), line(static_cast<size_t>(w));
  QImage before;  // null before the first picture
  for (size_t k = 0; k < count; ++k) {
    if (k > 0) img = picture(k);
    // Only what changed since the picture before; the rest stays shown.
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; ++y) {
      const QRgb* now = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      const QRgb* old = before.isNull() ? nullptr : reinterpret_cast<const QRgb*>(before.constScanLine(y));
      if (old && std::memcmp(now, old, size_t(w) * sizeof(QRgb)) == 0) continue;
      for (int x = 0; x < w; ++x)
        if (!old || now[x] != old[x]) {
          x0 = std::min(x0, x);
          x1 = std::max(x1, x);
          y0 = std::min(y0, y);
          y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) x0 = x1 = y0 = y1 = 0;  // nothing changed: one transparent pixel keeps the time
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = kMsPerPicture / 10;
    gcb.TransparentColor = !before.isNull() ? kTransparent : NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const size_t len = EGifGCBToExtension(&gcb, ext);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_ERROR) fail("frame");
    if (EGifPutImageDesc(gif, x0, y0, x1 - x0 + 1, y1 - y0 + 1, false, nullptr) == GIF_ERROR) fail("frame");
    for (int y = y0; y <= y1; ++y) {
      const QRgb* now = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      const QRgb* old = before.isNull() ? nullptr : reinterpret_cast<const QRgb*>(before.constScanLine(y));
      for (int x = x0; x <= x1; ++x) {
        GifByteType idx = kTransparent;
        if (!old || now[x] != old[x]) {
          idx = palette.Index(now[x]);
          // A colour that maps to what is shown already needs no pixel.
          if (old && idx == shown[size_t(y * w + x)]) idx = kTransparent;
        }
        if (idx != kTransparent) shown[size_t(y * w + x)] = idx;
        line[size_t(x - x0)] = idx;
      }
      if (EGifPutLine(gif, line.data(), x1 - x0 + 1) == GIF_ERROR) fail("frame");
    }
    before = img;
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR) throw VantorelError(std::string("giflib: ") + GifErrorString(error));
  return out;
}

std::string ClockText(int32_t frame) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d：%02d", frame / 60, frame % 60);
  return buf;
}

}  // namespace

QImage PaintClipPicture(const TFrameLook& look, const TmVTR& replay, int32_t frame) {
  QImage img(kClipWidth, kClipHeight, QImage::Format_RGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  const TmVTRsc& f = replay.Frames[size_t(frame)];
  p.setFont(GothicFont(16, true));
  const QRect strip(8, 0, kClipWidth - 16, kClipStripHeight);
  for (int s = 0; s < 2; ++s) {
    p.setPen(SideColour(s));
    const QString text =
        s == 0 ? QString::fromStdString(replay.Sides[0].Name) + QStringLiteral("  ") + QString::number(f.Goals(0))
               : QString::number(f.Goals(1)) + QStringLiteral("  ") + QString::fromStdString(replay.Sides[1].Name);
    p.drawText(strip, Qt::AlignVCenter | (s == 0 ? Qt::AlignLeft : Qt::AlignRight), text);
  }
  p.setPen(Qt::white);
  p.drawText(strip, Qt::AlignCenter, QString::fromStdString(ClockText(frame)));
  p.translate(0, kClipStripHeight);
  PaintMatchFrame(p, look, f);
  return img;
}

std::vector<uint8_t> EncodeClip(const TFrameLook& look, const TmVTR& replay, const TVtrClip& clip, TClipFormat format) {
  const std::vector<int32_t> frames = clip.Pictures();
  if (frames.empty()) throw VantorelError("the clip holds no picture");
  const TPictureSource picture = [&](size_t k) { return PaintClipPicture(look, replay, frames[k]); };
  return format == TClipFormat::WebP ? EncodeWebP(frames.size(), picture) : EncodeGif(frames.size(), picture);
}

std::string ExportClip(const TmVTR& replay, const std::string& replayName, const TVtrClip& clip, TClipFormat format) {
  TMatchPictures pics;
  pics.Load();
  const TFrameLook look = MakeFrameLook(pics, replay.Sides[0].Emblem, replay.Sides[1].Emblem);
  const std::string path = ClipPath(replayName, clip, format == TClipFormat::WebP ? "webp" : "gif");
  std::vector<uint8_t> image;
  try {
    image = EncodeClip(look, replay, clip, format);
  } catch (const FileError&) {
    throw;
  } catch (const std::exception& e) {
    throw FileError(path, e.what());
  }
  EnsureDirectory(ClipDir());
  WriteFileAtomic(path, image);
  return path;
}

bool IsClipCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--export-clip") == 0) return true;
  return false;
}

int RunClipCommand(const QStringList& args) {
  const char* usage = "usage: vantorel --export-clip FILE.vtr (--goal N | --at MM:SS) [--gif]";
  try {
    QString file, at;
    int goal = 0;
    bool gif = false, haveGoal = false;
    for (int i = 0; i < args.size(); ++i) {
      const QString& a = args[i];
      auto value = [&]() -> QString {
        if (i + 1 >= args.size()) throw VantorelError(a.toStdString() + ": a value is needed");
        return args[++i];
      };
      if (a == QStringLiteral("--export-clip"))
        file = value();
      else if (a == QStringLiteral("--goal")) {
        bool ok = false;
        goal = value().toInt(&ok);
        if (!ok || goal < 1) throw VantorelError("--goal: a goal number from 1 is needed");
        haveGoal = true;
      } else if (a == QStringLiteral("--at"))
        at = value();
      else if (a == QStringLiteral("--gif"))
        gif = true;
      else if (a == QStringLiteral("--webp"))
        gif = false;
      else
        throw VantorelError("unknown option " + a.toStdString() + "; " + usage);
    }
    if (file.isEmpty() || haveGoal == !at.isEmpty()) throw VantorelError(usage);
    TmVTR replay;
    replay.ReadPath(file.toStdString());
    TVtrClip clip;
    if (haveGoal) {
      clip = GoalClip(replay, goal - 1);
    } else {
      const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{1,3}):(\\d{2})$")).match(at);
      if (!m.hasMatch()) throw VantorelError("--at: MM:SS is needed");
      clip = MomentClip(replay, m.captured(1).toInt() * 60 + m.captured(2).toInt());
    }
    const std::string name = std::filesystem::path(file.toStdString()).stem().string();
    const std::string path = ExportClip(replay, name, clip, gif ? TClipFormat::Gif : TClipFormat::WebP);
    std::printf("%s\n", path.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::string msg = e.what();
    for (char& c : msg)
      if (c == '\n') c = ' ';
    std::fprintf(stderr, "vantorel: %s\n", msg.c_str());
    return 2;
  }
}
