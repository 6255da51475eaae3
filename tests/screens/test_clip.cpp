// Goal clips: a recorded data battle's goal exported as animated WebP and
// GIF, decoded back by the libraries' own decoders, its first picture
// compared with what the replay screen paints for that step.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <QTest>
#include <cstring>

#include "../core/MatchTestLineup.h"
#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ufile.h"
#include "club/Uteam.h"
#include "match/Umatchwatch.h"
#include "screens/Fvtr.h"
#include "screens/Uclip.h"

namespace {

// A data battle with goals, recorded and written as data/vtr/NAME.vtr.
TmVTR RecordBattle(const std::string& name) {
  Tmmain m;
  TmVTR rec = RecordWatchedBattle(m);
  std::array<TVtrSide, 2> sides;
  for (int s = 0; s < 2; ++s) {
    sides[size_t(s)].Name = s == 0 ? "ホーム" : "Away FC";
    sides[size_t(s)].Emblem = Tteam::EmptyEmblem();
    sides[size_t(s)].GoalLines = m.GoalLists[s];
  }
  rec.WriteFileAs(MakeVtrHeader(sides), name);
  rec.Sides = sides;
  return rec;
}

struct TDecoded {
  int Width = 0, Height = 0, Frames = 0;
  QImage First;  // RGB32
};

TDecoded DecodeWebP(const std::vector<uint8_t>& bytes) {
  TDecoded d;
  WebPData data{bytes.data(), bytes.size()};
  WebPAnimDecoderOptions opt;
  WebPAnimDecoderOptionsInit(&opt);
  opt.color_mode = MODE_BGRA;
  WebPAnimDecoder* dec = WebPAnimDecoderNew(&data, &opt);
  if (!dec) return d;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(dec, &info);
  d.Width = int(info.canvas_width);
  d.Height = int(info.canvas_height);
  uint8_t* buf = nullptr;
  int ts = 0;
  while (WebPAnimDecoderHasMoreFrames(dec) && WebPAnimDecoderGetNext(dec, &buf, &ts)) {
    if (d.Frames++ == 0) {
      d.First = QImage(d.Width, d.Height, QImage::Format_RGB32);
      for (int y = 0; y < d.Height; ++y)
        std::memcpy(d.First.scanLine(y), buf + size_t(y) * 4 * d.Width, 4 * size_t(d.Width));
    }
  }
  WebPAnimDecoderDelete(dec);
  return d;
}

struct TReader {
  const std::vector<uint8_t>* Bytes;
  size_t At = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int n) {
  auto* r = static_cast<TReader*>(gif->UserData);
  const int k = int(std::min<size_t>(size_t(n), r->Bytes->size() - r->At));
  std::memcpy(out, r->Bytes->data() + r->At, size_t(k));
  r->At += size_t(k);
  return k;
}

TDecoded DecodeGif(const std::vector<uint8_t>& bytes) {
  TDecoded d;
  TReader r{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&r, ReadBytes, &error);
  if (!gif || DGifSlurp(gif) == GIF_ERROR) return d;
  d.Width = gif->SWidth;
  d.Height = gif->SHeight;
  d.Frames = gif->ImageCount;
  const SavedImage& first = gif->SavedImages[0];
  const ColorMapObject* map = first.ImageDesc.ColorMap ? first.ImageDesc.ColorMap : gif->SColorMap;
  d.First = QImage(d.Width, d.Height, QImage::Format_RGB32);
  for (int y = 0; y < d.Height; ++y)
    for (int x = 0; x < d.Width; ++x) {
      const GifColorType c = map->Colors[first.RasterBits[y * first.ImageDesc.Width + x]];
      d.First.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
    }
  DGifCloseFile(gif, &error);
  return d;
}

}  // namespace

class Clip : public ::testing::Test {
 protected:
  void SetUp() override {
    App().AutoTexts.clear();
    OpenTitle(12);
  }
  void TearDown() override { CloseEverything(); }
  ScopedDataDir dir_;
};

TEST_F(Clip, GoalClipDecodesToThePicturesTheReplayPaints) {
  const TmVTR rec = RecordBattle("battle");
  const std::vector<TVtrGoal> goals = rec.GoalsUpTo(rec.LastFrame());
  ASSERT_FALSE(goals.empty());
  const TVtrClip clip = GoalClip(rec, 0);
  EXPECT_EQ(clip.From, std::max(0, goals[0].Frame - 8000 / 17));
  EXPECT_EQ(clip.To, std::min(rec.LastFrame(), goals[0].Frame + 3000 / 17));
  const std::vector<int32_t> pictures = clip.Pictures();
  // At the replay's pace: 25 pictures a second for as long as it plays.
  EXPECT_EQ(int(pictures.size()), (clip.To - clip.From) * 17 * 25 / 1000 + 1);
  EXPECT_THROW(GoalClip(rec, int(goals.size())), VantorelError);

  // The replay screen showing the clip's first step.
  Click(Shown<Ttitle>()->btnvtr);
  Settle();
  Tvtr* v = Shown<Tvtr>();
  ASSERT_NE(v, nullptr);
  v->Timer->stop();
  v->ListBox->setCurrentRow(0);
  v->ListBoxClick();
  v->ShowFrame(pictures[0]);
  const QImage screen =
      v->grab(QRect(0, 0, kMatchPictureWidth, kMatchPictureHeight)).toImage().convertToFormat(QImage::Format_RGB32);

  const QString webp = v->SaveClip(0, TClipFormat::WebP);
  ASSERT_FALSE(webp.isEmpty()) << App().LastMessage.toStdString();
  EXPECT_TRUE(App().LastMessage.contains(webp));
  const TDecoded w = DecodeWebP(ReadWholeFile(webp.toStdString()));
  EXPECT_EQ(w.Frames, int(pictures.size()));
  EXPECT_EQ(w.Width, kClipWidth);
  EXPECT_EQ(w.Height, kClipHeight);
  ASSERT_FALSE(w.First.isNull());
  EXPECT_EQ(w.First.copy(0, kClipStripHeight, kMatchPictureWidth, kMatchPictureHeight), screen);

  const QString gif = v->SaveClip(0, TClipFormat::Gif);
  ASSERT_FALSE(gif.isEmpty());
  const TDecoded g = DecodeGif(ReadWholeFile(gif.toStdString()));
  EXPECT_EQ(g.Frames, int(pictures.size()));
  EXPECT_EQ(g.Width, kClipWidth);
  EXPECT_EQ(g.Height, kClipHeight);
  // 255 colours: the same picture, each pixel near its colour.
  const QImage lossless = w.First;
  double diff = 0;
  for (int y = 0; y < g.Height; ++y)
    for (int x = 0; x < g.Width; ++x) {
      const QRgb a = g.First.pixel(x, y), b = lossless.pixel(x, y);
      diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    }
  EXPECT_LT(diff / (g.Width * g.Height * 3), 6.0);
}
