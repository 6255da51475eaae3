#include "match/Uvtranalyse.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "match/Uball.h"

namespace {

constexpr double kPixelMetres = kVtrPixelUnits * kMetresPerUnit;

// The point as the side sees it with its own goal on the left.
TVtrPoint Normalised(const TVtrPoint& p, bool ownGoalLeft) {
  if (ownGoalLeft) return p;
  return {double(kPitchWidth) - p.X, double(kPitchHeight) - p.Y};
}

int HalfOf(int32_t frame) { return frame < kSecondHalfFrame ? 0 : 1; }

double Percent(int64_t part, int64_t whole) { return whole > 0 ? 100.0 * double(part) / double(whole) : 0.0; }

// Which side has the ball in frame f, or -1 when nobody clearly has it.
int SideAtBall(const TmVTRsc& f) {
  if (f.BallHeight() > kLowBallValue) return -1;
  const TVtrPoint b = BallPoint(f);
  double best[2] = {-1, -1};
  for (int s = 0; s < 2; ++s)
    for (int j = 0; j < 11; ++j) {
      const TVtrPoint p = PlayerPoint(f, s, j);
      const double dx = std::fabs(p.X - b.X), dy = std::fabs(p.Y - b.Y);
      if (dx > kAtBallUnits || dy > kAtBallUnits) continue;
      const double d = dx * dx + dy * dy;
      if (best[s] < 0 || d < best[s]) best[s] = d;
    }
  if (best[0] < 0 && best[1] < 0) return -1;
  if (best[1] < 0) return 0;
  if (best[0] < 0) return 1;
  if (best[0] == best[1]) return -1;
  return best[0] < best[1] ? 0 : 1;
}

// Own goal on the left in each half, by where the keeper stood on average.
std::array<std::array<bool, 2>, 2> Directions(const TmVTR& r) {
  std::array<std::array<bool, 2>, 2> left{};
  for (int s = 0; s < 2; ++s) {
    double sum[2] = {0, 0};
    int32_t count[2] = {0, 0};
    for (int32_t k = 0; k < r.FrameCount(); ++k) {
      sum[HalfOf(k)] += PlayerPoint(r.Frames[size_t(k)], s, 0).X;
      ++count[HalfOf(k)];
    }
    // Without frames in a half, the ends of the other half changed.
    const bool first = count[0] > 0 ? sum[0] / count[0] < kPitchCentreX : !(sum[1] / count[1] < kPitchCentreX);
    left[s][0] = first;
    left[s][1] = count[1] > 0 ? sum[1] / count[1] < kPitchCentreX : !first;
  }
  return left;
}

void Possession(const TmVTR& r, TVtrAnalysis& a) {
  const int32_t n = r.FrameCount();
  a.Holder.assign(size_t(n), 0);
  int holder = 0;  // side 0 kicks off
  for (int32_t k = 0; k < n; ++k) {
    const int s = SideAtBall(r.Frames[size_t(k)]);
    if (s >= 0) holder = s;
    a.Holder[size_t(k)] = int8_t(holder);
  }
  int32_t halfSteps[2] = {0, 0}, halfHeld[2][2] = {{0, 0}, {0, 0}};
  for (int32_t k = 0; k < n; ++k) {
    const int s = a.Holder[size_t(k)];
    ++a.Sides[size_t(s)].PossessionSteps;
    ++halfSteps[HalfOf(k)];
    ++halfHeld[s][HalfOf(k)];
  }
  for (int s = 0; s < 2; ++s) {
    TVtrSideStats& side = a.Sides[size_t(s)];
    side.Possession = Percent(side.PossessionSteps, n);
    for (int h = 0; h < 2; ++h) side.HalfPossession[size_t(h)] = Percent(halfHeld[s][h], halfSteps[h]);
  }
  // Five-minute slices; a tail shorter than a minute joins the slice before
  // (the match's last step, 90:00, joins 85:00 - 89:59).
  for (int32_t from = 0; from < n; from += kSliceFrames) {
    int32_t to = std::min(n, from + kSliceFrames) - 1;
    if (n - 1 - to < 60) to = n - 1;
    int32_t held = 0;
    for (int32_t k = from; k <= to; ++k) held += a.Holder[size_t(k)] == 0;
    const double share0 = Percent(held, to - from + 1);
    a.Slices.push_back({from, to, {share0, 100.0 - share0}});
    if (to == n - 1) break;
  }
}

void Territory(const TmVTR& r, const std::array<std::array<bool, 2>, 2>& left, TVtrAnalysis& a) {
  const double third = double(kFieldRight - kFieldLeft) / 3.0;
  for (int32_t k = 0; k < r.FrameCount(); ++k) {
    const TVtrPoint b = BallPoint(r.Frames[size_t(k)]);
    for (int s = 0; s < 2; ++s) {
      const double x = Normalised(b, left[s][HalfOf(k)]).X;
      const int t = x < kFieldLeft + third ? 0 : x < kFieldLeft + 2 * third ? 1 : 2;
      ++a.Sides[size_t(s)].ThirdSteps[size_t(t)];
    }
  }
  for (TVtrSideStats& side : a.Sides)
    for (int t = 0; t < 3; ++t) side.Territory[size_t(t)] = Percent(side.ThirdSteps[size_t(t)], r.FrameCount());
}

// A frame whose step put every player on a fixed place: the change of ends
// and the kick-off after a goal.
std::vector<bool> PlacementFrames(const TmVTR& r) {
  std::vector<bool> placed(size_t(r.FrameCount()), false);
  for (int32_t k = 1; k < r.FrameCount(); ++k) {
    const TmVTRsc &f = r.Frames[size_t(k)], &e = r.Frames[size_t(k - 1)];
    placed[size_t(k)] = k == kSecondHalfFrame || f.Goals(0) != e.Goals(0) || f.Goals(1) != e.Goals(1);
  }
  return placed;
}

// Names from the goal lines, an own goal naming a player of the other side.
std::map<std::pair<int, int32_t>, std::string> NamesFromGoalLines(const TmVTR& r) {
  std::map<std::pair<int, int32_t>, std::string> names;
  for (int s = 0; s < 2; ++s)
    for (const std::string& line : r.Sides[size_t(s)].GoalLines)
      for (const TVtrGoalItem& item : GoalLineItems(line))
        if (item.Number >= 0 && !item.Name.empty()) names[{item.OwnGoal ? 1 - s : s, item.Number}] = item.Name;
  return names;
}

struct TRunState {
  int32_t LastFrame = -2;
  int32_t LastPx = 0, LastPy = 0;
  std::vector<double> Window;  // the latest running moves, pixels
  double WindowSum = 0;
  double Pixels = 0;
  double Best = 0;  // pixels per step
  double SumX = 0, SumY = 0;
};

void Players(const TmVTR& r, const std::array<std::array<bool, 2>, 2>& left, TVtrAnalysis& a) {
  const std::vector<bool> placed = PlacementFrames(r);
  const auto names = NamesFromGoalLines(r);
  for (int s = 0; s < 2; ++s) {
    std::vector<TVtrPlayerStats> list;
    std::vector<TRunState> runs;
    std::map<int32_t, size_t> index;
    std::array<std::map<int32_t, int32_t>, 11> slotSteps;
    std::array<TVtrPoint, 11> slotSum{};
    for (int32_t k = 0; k < r.FrameCount(); ++k) {
      const TmVTRsc& f = r.Frames[size_t(k)];
      const bool ownLeft = left[s][HalfOf(k)];
      for (int j = 0; j < 11; ++j) {
        const int32_t number = f.PlayerNumber(s, j);
        auto [it, fresh] = index.try_emplace(number, list.size());
        if (fresh) {
          TVtrPlayerStats p;
          p.Side = s;
          p.Number = number;
          p.FirstFrame = k;
          if (auto n = names.find({s, number}); n != names.end()) p.Name = n->second;
          list.push_back(p);
          runs.emplace_back();
        }
        TVtrPlayerStats& p = list[it->second];
        TRunState& run = runs[it->second];
        if (run.LastFrame == k) continue;  // a number twice in one frame counts once
        const int32_t px = f.PlayerX(s, j), py = f.PlayerY(s, j);
        bool running = false;
        if (run.LastFrame == k - 1 && !placed[size_t(k)]) {
          const double d = std::hypot(double(px - run.LastPx), double(py - run.LastPy));
          if (d <= kMaxRunPixels) {
            running = true;
            run.Pixels += d;
            run.Window.push_back(d);
            run.WindowSum += d;
            if (run.Window.size() > size_t(kTopSpeedSteps)) {
              run.WindowSum -= run.Window.front();
              run.Window.erase(run.Window.begin());
            }
            if (run.Window.size() == size_t(kTopSpeedSteps))
              run.Best = std::max(run.Best, run.WindowSum / kTopSpeedSteps);
          }
        }
        if (!running) {
          run.Window.clear();
          run.WindowSum = 0;
        }
        run.LastFrame = k;
        run.LastPx = px;
        run.LastPy = py;
        p.LastFrame = k;
        ++p.Steps;
        const TVtrPoint at = Normalised(PlayerPoint(f, s, j), ownLeft);
        run.SumX += at.X;
        run.SumY += at.Y;
        ++p.Heat[size_t(HeatCell(at))];
        ++slotSteps[size_t(j)][number];
        slotSum[size_t(j)].X += at.X;
        slotSum[size_t(j)].Y += at.Y;
      }
    }
    TVtrSideStats& side = a.Sides[size_t(s)];
    for (size_t i = 0; i < list.size(); ++i) {
      TVtrPlayerStats& p = list[i];
      p.DistanceMetres = runs[i].Pixels * kPixelMetres;
      p.TopSpeed = runs[i].Best * kPixelMetres;
      if (p.Steps > 0) p.Average = {runs[i].SumX / p.Steps, runs[i].SumY / p.Steps};
      for (int c = 0; c < kHeatCells; ++c) side.Heat[size_t(c)] += p.Heat[size_t(c)];
    }
    for (int j = 0; j < 11; ++j) {
      TVtrShapeSlot& slot = side.Shape[size_t(j)];
      int32_t most = -1;
      for (const auto& [number, steps] : slotSteps[size_t(j)])
        if (steps > most) {
          most = steps;
          slot.Number = number;
        }
      if (r.FrameCount() > 0)
        slot.Average = {slotSum[size_t(j)].X / r.FrameCount(), slotSum[size_t(j)].Y / r.FrameCount()};
    }
    a.Players.insert(a.Players.end(), list.begin(), list.end());
  }
}

void Goals(const TmVTR& r, TVtrAnalysis& a) {
  for (const TVtrGoal& g : r.GoalsUpTo(r.LastFrame())) {
    TVtrGoalTrace t;
    t.Side = g.Side;
    t.Frame = g.Frame;
    t.Minute = g.Frame / 60;
    t.Text = g.Text;
    const TVtrGoalItem scorer = GoalLineItems(g.Text).back();
    t.Scorer = scorer.Number;
    t.OwnGoal = scorer.OwnGoal;
    for (int32_t k = std::max(0, g.Frame - kGoalTraceSteps); k < g.Frame; ++k) {
      const TmVTRsc& f = r.Frames[size_t(k)];
      t.Ball.push_back({k, BallPoint(f), (f.BallHeight() + 3) * 32});
    }
    a.Goals.push_back(std::move(t));
  }
}

}  // namespace

TVtrPoint PlayerPoint(const TmVTRsc& f, int side, int j) {
  return {double((f.PlayerX(side, j) + 5) * kVtrPixelUnits + kVtrPixelUnits / 2),
          double((f.PlayerY(side, j) + 5) * kVtrPixelUnits + kVtrPixelUnits / 2)};
}

TVtrPoint BallPoint(const TmVTRsc& f) {
  return {double((f.BallX() + 3) * kVtrPixelUnits + kVtrPixelUnits / 2),
          double((f.BallY() + 3) * kVtrPixelUnits + kVtrPixelUnits / 2)};
}

int HeatCell(const TVtrPoint& p) {
  const double cx = (p.X - kFieldLeft) * kHeatColumns / double(kFieldRight - kFieldLeft);
  const double cy = (p.Y - kFieldTop) * kHeatRows / double(kFieldBottom - kFieldTop);
  const int col = std::clamp(int(std::floor(cx)), 0, kHeatColumns - 1);
  const int row = std::clamp(int(std::floor(cy)), 0, kHeatRows - 1);
  return row * kHeatColumns + col;
}

std::vector<TVtrGoalItem> GoalLineItems(const std::string& line) {
  static const std::string kMinute = "分　", kArrow = "⇒", kOwnGoal = "O.G";
  const size_t mark = line.find(kMinute);
  if (mark == std::string::npos) return {TVtrGoalItem{}};  // not a line the driver writes
  const std::string rest = line.substr(mark + kMinute.size());
  std::vector<TVtrGoalItem> items;
  for (size_t start = 0;;) {
    const size_t end = std::min(rest.find(kArrow, start), rest.size());
    TVtrGoalItem item;
    std::string text = rest.substr(start, end - start);
    if (text.rfind(kOwnGoal, 0) == 0) {
      item.OwnGoal = true;
      text = text.substr(kOwnGoal.size());
    }
    const size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    size_t digits = sign;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits > sign && digits - sign <= 9) {
      item.Number = int32_t(std::strtol(text.substr(0, digits).c_str(), nullptr, 10));
      item.Name = text.substr(digits);
    }
    items.push_back(std::move(item));
    if (end == rest.size()) break;
    start = end + kArrow.size();
  }
  return items;
}

const TVtrPlayerStats* TVtrAnalysis::Player(int side, int32_t number) const {
  for (const TVtrPlayerStats& p : Players)
    if (p.Side == side && p.Number == number) return &p;
  return nullptr;
}

TVtrAnalysis AnalyseVtr(const TmVTR& recording) {
  TVtrAnalysis a;
  a.Frames = recording.FrameCount();
  if (a.Frames == 0) return a;
  const auto left = Directions(recording);
  for (int s = 0; s < 2; ++s) a.Sides[size_t(s)].OwnGoalLeft = left[size_t(s)];
  Possession(recording, a);
  Territory(recording, left, a);
  Players(recording, left, a);
  Goals(recording, a);
  return a;
}
