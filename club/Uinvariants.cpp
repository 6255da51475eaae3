#include "club/Uinvariants.h"

#include <array>
#include <set>

#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"

namespace {

struct TInvariantEntry {
  const char* Name;
  const char* Text;
};

const std::array<TInvariantEntry, kInvariantCount> kInvariants = {{
    {"shirt-numbers", "背番号が重複しているか範囲外です"},
    {"squad-size", "選手が11人に足りません"},
    {"lineup-slots", "メンバー表にいない選手が登録されています"},
    {"starting-eleven", "スタメンが決まっていません"},
    {"pitch-positions", "ポジションがピッチの外です"},
    {"abilities", "能力値が範囲外です"},
    {"growth-rates", "成長率が範囲外です"},
    {"attachment", "愛着が範囲外です"},
    {"form", "調子が範囲外です"},
    {"preferred-actions", "得意プレーが重複しています"},
    {"coaching-staff", "コーチのデータが範囲外です"},
    {"value-ranges", "数値が範囲外です"},
    {"reputation", "評判が範囲外です"},
    {"divisions", "リーグの所属が壊れています"},
    {"league-tables", "順位表のクラブが所属と合いません"},
    {"cup-entrants", "カップ戦の組み合わせが壊れています"},
    {"week-sections", "週と進行中のデータが合いません"},
}};

const TInvariantEntry& Entry(TInvariant inv) { return kInvariants.at(static_cast<std::size_t>(inv)); }

const char* const kAbilityLetters[6] = {"S", "H", "D", "C", "K", "A"};

std::string Range(int32_t v, int32_t lo, int32_t hi) {
  return std::to_string(v) + "（" + std::to_string(lo) + "〜" + std::to_string(hi) + "）";
}

void Add(TViolations& out, const TViolation& where, TInvariant inv, std::string detail) {
  TViolation v = where;
  v.Invariant = inv;
  v.Detail = std::move(detail);
  out.push_back(std::move(v));
}

void CheckRange(TViolations& out, const TViolation& where, TInvariant inv, const std::string& what, int32_t v,
                int32_t lo, int32_t hi) {
  if (v < lo || v > hi) Add(out, where, inv, what + " " + Range(v, lo, hi));
}

TViolation ClubPlace(int32_t club, const std::string& name) {
  TViolation w;
  w.Club = club;
  w.ClubName = name;
  return w;
}

}  // namespace

const char* InvariantName(TInvariant inv) { return Entry(inv).Name; }
const char* InvariantText(TInvariant inv) { return Entry(inv).Text; }

std::string TViolation::Where() const {
  std::string w;
  if (Club == kNoClub) {
    w = "移籍市場";
  } else if (Club >= 0) {
    w = "クラブ" + std::to_string(Club);
    if (!ClubName.empty()) w += "「" + ClubName + "」";
  } else if (!ClubName.empty()) {
    w = "「" + ClubName + "」";  // a club of its own, as in a VS file
  }
  if (List == TListKind::Youth) w += w.empty() ? "ユース" : " ユース";
  if (List != TListKind::None || Number >= 0)
    w += (w.empty() ? "" : " ") + std::string("背番号") + std::to_string(Number);
  return w;
}

std::string TViolation::Text() const {
  std::string t = InvariantText(Invariant);
  const std::string w = Where();
  if (!w.empty()) t += "（" + w + "）";
  if (!Detail.empty()) t += "：" + Detail;
  return t;
}

namespace {
std::string ErrorText(const TViolations& v) {
  if (v.empty()) return "invariant error without a violation";
  std::string t = v.front().Text();
  if (v.size() > 1) t += "（ほか" + std::to_string(v.size() - 1) + "件）";
  return t;
}
}  // namespace

InvariantError::InvariantError(TViolations violations)
    : VantorelError(ErrorText(violations)), violations_(std::move(violations)) {
  if (violations_.empty()) violations_.push_back(TViolation{});
}

InvariantFileError::InvariantFileError(const std::string& path, const std::string& kind, const InvariantError& e)
    : FileError(path, kind + "：" + e.what()), violations_(e.Violations()) {}

void RequireNoViolations(const TViolations& violations) {
  if (!violations.empty()) throw InvariantError(violations);
}

void CheckTolerated(int32_t v, const TTolerance& t, const TViolation& where, TViolations& out) {
  CheckRange(out, where, TInvariant::ValueRanges, t.Field, v, t.Lo, t.Hi);
}

// ---- players ------------------------------------------------------------------

void CheckPlayer(const Tplayer& p, const TViolation& where, TViolations& out) {
  for (int i = 0; i < 6; ++i) {
    const std::string a = kAbilityLetters[i];
    CheckRange(out, where, TInvariant::Abilities, a, p.Ability(i), 0, 99);
    CheckRange(out, where, TInvariant::Abilities, "前季の" + a, p.LastSeason[static_cast<std::size_t>(i)], 0, 99);
    CheckRange(out, where, TInvariant::Abilities, "前々季の" + a, p.SeasonBefore[static_cast<std::size_t>(i)], 0, 99);
    CheckRange(out, where, TInvariant::GrowthRates, a, p.GrowthRate[static_cast<std::size_t>(i)], 0, 4);
    CheckTolerated(p.GrowthPoints[static_cast<std::size_t>(i)], kTolGrowthPoints, where, out);
  }
  for (int32_t c = 0; c < kAffinityClubs; ++c)
    CheckRange(out, where, TInvariant::Attachment, "クラブ" + std::to_string(c) + "へ",
               p.Affinity[static_cast<std::size_t>(c)], 0, 100);
  CheckRange(out, where, TInvariant::Form, "調子", p.Condition, -20, 20);
  std::set<int32_t> choices;
  for (int i = 0; i < 4; ++i) choices.insert(p.Choice(i));
  if (choices.size() != 4) Add(out, where, TInvariant::PreferredActions, p.ChoiceText());
  for (int32_t v : {p.Games, p.Goal, p.Asist}) CheckTolerated(v, kTolSeasonCount, where, out);
  // A league match adds its rating, 1 .. 10, with the appearance; a cup
  // match only the appearance.
  CheckRange(out, where, TInvariant::ValueRanges, "評価の合計", p.RatingSum, 0,
             p.Games >= 0 && p.Games <= kTolSeasonCount.Hi ? 10 * p.Games : 0);
  CheckTolerated(p.ConditionTrend, kTolFormCycle, where, out);
  CheckTolerated(p.ConditionDelta, kTolFormCycle, where, out);
  CheckTolerated(p.Age, kTolAge, where, out);
  CheckTolerated(p.PeakAge, kTolAge, where, out);
  CheckTolerated(p.BaseValue, kTolBaseValue, where, out);
  CheckTolerated(p.Fatigue, kTolFatigue, where, out);
  CheckTolerated(p.InjuryWeeks, kTolInjury, where, out);
}

void CheckPlayerList(const Tplayerlist& list, TListKind kind, int32_t club, const std::string& clubName,
                     TViolations& out) {
  std::set<int32_t> seen;
  for (const TplayerInput& e : list.Entries) {
    TViolation where = ClubPlace(club, clubName);
    where.List = kind;
    where.Number = e.Number;
    if (!seen.insert(e.Number).second) Add(out, where, TInvariant::ShirtNumbers, "同じ背番号が二人います");
    // The transfer list keys a squad player as club x 1000 + number.
    const int32_t hi = kind == TListKind::Squad ? 999 : INT32_MAX;
    if (e.Number < 0 || e.Number > hi) Add(out, where, TInvariant::ShirtNumbers, "背番号 " + Range(e.Number, 0, hi));
    CheckPlayer(*e.Player, where, out);
  }
}

// ---- clubs ----------------------------------------------------------------------

void CheckClub(const Tteam& t, int32_t index, bool requireEleven, TViolations& out) {
  const TViolation club = ClubPlace(index, t.ClubName);
  if (t.Squad->Count() < kStarterCount) Add(out, club, TInvariant::SquadSize, std::to_string(t.Squad->Count()) + "人");
  CheckPlayerList(*t.Squad, TListKind::Squad, index, t.ClubName, out);
  CheckPlayerList(*t.Youth, TListKind::Youth, index, t.ClubName, out);

  std::set<int32_t> slotted;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const int32_t n = t.Slots[static_cast<std::size_t>(slot)];
    TViolation where = club;
    where.Number = n;
    const std::string place =
        slot < kStarterCount ? "スタメン枠" + std::to_string(slot) : "控え枠" + std::to_string(slot);
    if (n == -1) {
      if (requireEleven && slot < kStarterCount) {
        where.Number = -1;
        Add(out, where, TInvariant::StartingEleven, place + "が空です");
      }
      continue;
    }
    where.List = TListKind::Squad;
    if (t.Squad->IndexOfNumber(n) < 0)
      Add(out, where, TInvariant::LineupSlots, place + "の選手がいません");
    else if (!slotted.insert(n).second)
      Add(out, where, TInvariant::LineupSlots, place + "：同じ選手が二つの枠にいます");
  }
  for (int slot = 0; slot < kStarterCount; ++slot) {
    const TPoint p = t.Positions[static_cast<std::size_t>(slot)];
    if (!IsOnPitch(p))
      Add(out, club, TInvariant::PitchPositions,
          "枠" + std::to_string(slot) + " (" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ")");
  }

  const Tcoach& staff = *t.Coaches;
  for (std::size_t i = 0; i < staff.Coach.size(); ++i) {
    const TCoachSlot& c = staff.Coach[i];
    const std::string who = "コーチ" + std::to_string(i + 1) + "の";
    for (int k = 0; k < 6; ++k)
      CheckRange(out, club, TInvariant::CoachingStaff, who + kAbilityLetters[k], c.Skill[static_cast<std::size_t>(k)],
                 1, 10);
    CheckRange(out, club, TInvariant::CoachingStaff, who + "契約年数", c.Years, 1, 3);
    for (int k = 0; k < 6; ++k)
      CheckRange(out, club, TInvariant::CoachingStaff, who + "指導項目" + kAbilityLetters[k],
                 c.Focus[static_cast<std::size_t>(k)], 0, 1);
  }
  // Three coaches of skill 10, each on one ability: 3 x 6 x 10.
  for (int k = 0; k < 6; ++k)
    CheckRange(out, club, TInvariant::CoachingStaff, std::string("指導力") + kAbilityLetters[k],
               staff.Weights[static_cast<std::size_t>(k)], 0, 180);

  CheckTolerated(t.Money, kTolMoney, club, out);
  for (int32_t r : t.RoleRatings) CheckTolerated(r, kTolRoleRating, club, out);
}

TViolations CheckClub(const Tteam& club, int32_t index, bool requireEleven) {
  TViolations out;
  CheckClub(club, index, requireEleven, out);
  return out;
}
