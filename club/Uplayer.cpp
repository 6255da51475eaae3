#include "club/Uplayer.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Ucp932.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Upaths.h"
#include "club/Urandom.h"

namespace {

const char* const kFullWidthSpace = "　";
const char* const kFullWidthStop = "．";

constexpr int kFamilyNames = 250;  // list 0: family names on lines 0 .. 249
constexpr int kGivenNames = 251;   // then given names on lines 250 .. 500
constexpr int kPointsPerAbilityPoint = 200;

// ---- the world around the player ---------------------------------------------

bool HasClub(int32_t club) { return club >= 0 && club < kAffinityClubs; }

// A free agent (club 99) plays in no division.
int32_t DivisionOfClub(const TworldView& world, int32_t club) { return HasClub(club) ? world.DivisionOf(club) : 0; }

// The eight clubs of division 1 .. 3.
std::array<int32_t, 8> ClubsOfDivision(const TworldView& world, int32_t division) {
  std::array<int32_t, 8> clubs{};
  for (int p = 0; p < 8; ++p) clubs[p] = world.TeamAt(division, p);
  return clubs;
}

int Sign(int32_t v) { return (v > 0) - (v < 0); }

// Nationality ability weights (S, H, D, C, K, A) and favoured position codes.
const int32_t kNationWeights[10][6] = {{1, 1, 1, 2, 2, 2}, {5, 5, 1, 1, 1, 1}, {4, 1, 3, 4, 4, 4}, {4, 2, 1, 5, 5, 2},
                                       {1, 3, 5, 3, 3, 5}, {2, 4, 4, 2, 4, 4}, {1, 5, 5, 4, 1, 4}, {4, 2, 2, 5, 4, 4},
                                       {2, 4, 4, 3, 4, 3}, {3, 3, 3, 4, 3, 4}};

bool NationFavours(int32_t nationality, int32_t mtype) {
  switch (nationality) {
    case 0: return mtype == 13;
    case 1: return false;
    case 2: return mtype >= 3 && mtype <= 5 ? true : (mtype == 13 || mtype == 16);
    case 3: return (mtype >= 6 && mtype <= 8) || mtype == 13 || (mtype >= 18 && mtype <= 20);
    case 4: return (mtype >= 0 && mtype <= 5) || (mtype >= 9 && mtype <= 11);
    case 5: return (mtype >= 3 && mtype <= 5) || (mtype >= 15 && mtype <= 17);
    case 6: return (mtype >= 0 && mtype <= 2) || (mtype >= 6 && mtype <= 8);
    case 7: return (mtype >= 9 && mtype <= 12) || mtype == 14 || mtype == 15 || mtype == 17;
    case 8: return mtype == 12 || mtype == 14 || mtype == 15 || (mtype >= 17 && mtype <= 20);
    case 9: return mtype >= 9 && mtype <= 14;
    default: return false;
  }
}

// ---- name lists -------------------------------------------------------------

// Deliberately read once per process: a name file changed while the game
// runs is seen at the next start.
std::array<std::unique_ptr<std::vector<std::string>>, 10>& NameCache() {
  static std::array<std::unique_ptr<std::vector<std::string>>, 10> cache;
  return cache;
}

// The season outlook makes players on several threads at once.
std::mutex& NameCacheLock() {
  static std::mutex lock;
  return lock;
}

std::string NameListPath(int32_t n) { return ShippedPath("name/" + std::to_string(n) + ".txt"); }

// Lines as a text list sees them: "\n" or "\r\n" ends a line, a final line
// break does not start another (empty) line.
std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string cur;
  for (uint8_t b : bytes) {
    if (b == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines.push_back(Cp932ToUtf8(cur));
      cur.clear();
    } else {
      cur.push_back(static_cast<char>(b));
    }
  }
  if (!cur.empty()) {
    if (cur.back() == '\r') cur.pop_back();
    lines.push_back(Cp932ToUtf8(cur));
  }
  return lines;
}

const std::string& NameAt(int32_t nationality, int32_t line) {
  const std::vector<std::string>& names = NameList(nationality);
  if (line < 0 || static_cast<std::size_t>(line) >= names.size())
    throw FileError(NameListPath(nationality), "名前リストの名前が足りません");
  return names[static_cast<std::size_t>(line)];
}

std::string Letter(int32_t code) { return std::string(1, static_cast<char>(code)); }

// Byte length of the UTF-8 character that starts the text.
std::size_t FirstCharLength(const std::string& s) {
  if (s.empty()) return 0;
  unsigned char c = static_cast<unsigned char>(s[0]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  return std::min(n, s.size());
}

}  // namespace

// ---- free helpers -------------------------------------------------------------

std::string ChoiceLetter(int32_t choice) {
  static const char* const kLetters[4] = {"P", "D", "L", "S"};
  return choice >= 0 && choice < 4 ? kLetters[choice] : "";
}

std::string ChoiceLabel(int32_t choice) {
  static const char* const kLabels[4] = {"ショートパス", "ドリブル", "ロングパス", "シュート"};
  return choice >= 0 && choice < 4 ? kLabels[choice] : "";
}

std::string NationalityName(int32_t nationality) {
  static const char* const kNames[10] = {"日本", "アフリカ", "アルゼンチン", "ブラジル", "イタリア",
                                         "英国", "ドイツ",   "イベリア半島", "オランダ", "フランス"};
  return nationality >= 0 && nationality < 10 ? kNames[nationality] : "";
}

std::string GrowthPhaseComment(int32_t phase) {
  static const char* const kComments[5] = {"まだまだこれからの選手です", "ここ数年でもっと伸びるでしょう",
                                           "今が一番伸びる時期です", "ピークは過ぎたようです",
                                           "もう衰えていくだけでしょう"};
  return phase >= 1 && phase <= 5 ? kComments[phase - 1] : "";
}

const std::vector<std::string>& NameList(int32_t nationality) {
  if (nationality < 0 || nationality > 9) throw FileError(NameListPath(nationality), "名前リストがありません");
  std::lock_guard<std::mutex> lock(NameCacheLock());
  auto& slot = NameCache()[static_cast<std::size_t>(nationality)];
  if (!slot) {
    std::string path = NameListPath(nationality);
    std::vector<std::string> lines = SplitLines(ReadWholeFile(path, 4u << 20));
    std::size_t needed = nationality == 0 ? kFamilyNames + kGivenNames : 1;
    if (lines.size() < needed) throw FileError(path, "名前リストの名前が足りません");
    slot = std::make_unique<std::vector<std::string>>(std::move(lines));
  }
  return *slot;
}

void ClearNameListCache() {
  std::lock_guard<std::mutex> lock(NameCacheLock());
  for (auto& slot : NameCache()) slot.reset();
}

int32_t FormBonus(int32_t condition) {
  if (condition <= -11) return -15;
  if (condition <= -1) return -5;
  if (condition == 0) return 0;
  if (condition <= 10) return 5;
  return 15;
}

// ---- creation -----------------------------------------------------------------

Tplayer::Tplayer(int32_t positionSelector, int32_t nationality, int32_t baseLevel, int32_t club,
                 const TworldView& world) {
  BaseValue = 0;
  TeamIndex = club;

  switch (positionSelector) {
    case 7: Mtype = Random(12); break;
    case 8: Mtype = 12 + Random(9); break;
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6: Mtype = 3 * positionSelector + Random(3); break;
    default: Mtype = Random(21); break;
  }

  Leg = Random(10) < 8 ? 1 : 0;
  for (int i = 0; i < 6; ++i) Ability(i) = std::max(1, baseLevel - 9 + Random(10));

  if (nationality < 0 || nationality > 9) nationality = 0;
  MakeName(nationality);
  ShapeByNationality(nationality);
  ChooseActions();
  ChooseGrowth();
  InitialAffinity(world);

  ConditionDelta = 0;
  Condition = -5;
  ConditionTrend = -5;
  Fatigue = 0;
  InjuryWeeks = 0;
  RatingSum = 0;
  Games = Goal = Asist = 0;
  History.Clear();
  History.AddRow({world.CurrentYear(), club, kTradeOrdinary, 0, 0, 0, 0});
}

std::unique_ptr<Tplayer> Tplayer::Placeholder(int32_t club) {
  // The world only shapes attachment and history, which the record replaces.
  return std::make_unique<Tplayer>(0, 0, 0, club, NoWorld());
}

std::unique_ptr<Tplayer> Tplayer::CopyOf(const Tplayer& source, int32_t club) {
  auto copy = Placeholder(club);
  copy->Clone(source);
  return copy;
}

void Tplayer::MakeName(int32_t nationality) {
  if (nationality == 0) {
    std::string family = NameAt(0, Random(kFamilyNames));
    Name = family + kFullWidthSpace + NameAt(0, kFamilyNames + Random(kGivenNames));
    return;
  }
  int32_t r = Random(30);
  int32_t lines = static_cast<int32_t>(NameList(nationality).size());
  Name = NameAt(nationality, Random(lines));
  if (r <= 25) Name = Letter(65 + r) + kFullWidthStop + NameAt(nationality, Random(lines));
}

void Tplayer::ShapeByNationality(int32_t nationality) {
  const int32_t* w = kNationWeights[nationality];
  for (int i = 0; i < 6; ++i) {
    if (w[i] == 1) continue;
    int32_t a = Ability(i);
    int32_t half = w[i] / 2;
    Ability(i) = half * a + Random((w[i] - half) * a);
  }
  if (NationFavours(nationality, Mtype))
    for (int i = 0; i < 6; ++i) Ability(i) = Ability(i) * 6 / 5;
  BaseValue = 0;
  for (int i = 0; i < 6; ++i) {
    Ability(i) = std::min(Ability(i), 99);
    LastSeason[i] = SeasonBefore[i] = Ability(i);
    BaseValue += Ability(i) * Ability(i) / 10;
  }
}

void Tplayer::ChooseActions() {
  std::vector<int32_t> pool = {0, 1, 2, 3};
  int first = -1;
  if (Mtype >= 0 && Mtype <= 5)
    first = Random(2) == 0 ? kChoiceShortPass : kChoiceLongPass;
  else if (Mtype >= 6 && Mtype <= 8)
    first = kChoiceLongPass;
  else if (Mtype == 12 || Mtype == 14 || Mtype == 15 || Mtype == 17)
    first = kChoiceDribble;
  else if (Mtype >= 18 && Mtype <= 20)
    first = kChoiceShot;
  int next = 0;
  if (first >= 0) {
    Choice(0) = first;
    pool.erase(std::find(pool.begin(), pool.end(), first));
    next = 1;
  }
  for (int i = next; i < 4; ++i) {
    int k = Random(static_cast<int32_t>(pool.size()));
    Choice(i) = pool[static_cast<std::size_t>(k)];
    pool.erase(pool.begin() + k);
  }
}

void Tplayer::ChooseGrowth() {
  PeakAge = 20 + Random(9);
  for (int i = 0; i < 6; ++i) {
    GrowthPoints[i] = 0;
    int32_t a = Ability(i);
    int32_t base = a <= 20 ? 3 : a <= 40 ? 2 : a <= 75 ? 1 : 0;
    int32_t u = Random(10);
    int32_t step = u == 0 ? -2 : u <= 3 ? -1 : u >= 8 ? 1 : 0;
    GrowthRate[i] = std::max(0, base + step);
  }
}

// ---- field access ---------------------------------------------------------------

int32_t& Tplayer::Ability(int i) {
  switch (i) {
    case 0: return Speed;
    case 1: return Height;
    case 2: return Defense;
    case 3: return ballContorol;
    case 4: return KickContorol;
    case 5: return Anticipation;
    default: throw std::out_of_range("ability index");
  }
}

int32_t Tplayer::Ability(int i) const { return const_cast<Tplayer*>(this)->Ability(i); }

std::array<int32_t, 6> Tplayer::Abilities() const {
  return {Speed, Height, Defense, ballContorol, KickContorol, Anticipation};
}

int32_t Tplayer::AbilitySum() const { return Speed + Height + Defense + ballContorol + KickContorol + Anticipation; }

int32_t& Tplayer::Choice(int i) {
  switch (i) {
    case 0: return Choice1;
    case 1: return Choice2;
    case 2: return Choice3;
    case 3: return Choice4;
    default: throw std::out_of_range("choice index");
  }
}

int32_t Tplayer::Choice(int i) const { return const_cast<Tplayer*>(this)->Choice(i); }

int32_t Tplayer::GetAffinity(int32_t club) const {
  return HasClub(club) ? Affinity[static_cast<std::size_t>(club)] : 0;
}

void Tplayer::SetAffinity(int32_t club, int32_t value) {
  if (!HasClub(club)) return;
  Affinity[static_cast<std::size_t>(club)] = ClampInt(value, 0, 100);
}

// ---- derived values --------------------------------------------------------------

int32_t Tplayer::Value(const TworldView& world) const {
  int32_t d = PeakAge - Age;
  int32_t v;
  if (d >= 4)
    v = CheckedMul(BaseValue, 6) / 5;
  else if (d >= -1)
    v = BaseValue;
  else if (d >= -4)
    v = CheckedMul(BaseValue, 3) / 4;
  else
    v = BaseValue / 2;
  switch (DivisionOfClub(world, TeamIndex)) {
    case 2: return CheckedMul(v, 9) / 10;
    case 3: return CheckedMul(v, 4) / 5;
    default: return v;
  }
}

int32_t Tplayer::Wage() const {
  // Nobody plays at 70; keep the divisor positive for any age a file holds.
  int32_t years = std::max(1, 70 - Age);
  return CheckedAdd(BaseValue / years, BaseValue / 40);
}

int32_t Tplayer::GrowthPhase() const {
  int32_t e = Age - PeakAge;
  if (e <= -4) return 1;
  if (e <= -2) return 2;
  if (e <= 1) return 3;
  if (e <= 3) return 4;
  return 5;
}

bool Tplayer::IsRetiring() const {
  if (GrowthPhase() != 5) return false;
  auto a = Abilities();
  return *std::max_element(a.begin(), a.end()) < 15 || AbilitySum() < 60;
}

std::string Tplayer::AverageRatingText() const {
  if (Games == 0) return "0.00";
  // Deliberately always two decimals after the whole part: "0.50", "10.00".
  int32_t x = RoundHalfEven(static_cast<double>(RatingSum) * 100.0 / Games);
  std::string sign = x < 0 ? "-" : "";
  int32_t ax = std::abs(x);
  std::string frac = std::to_string(ax % 100);
  if (frac.size() < 2) frac = "0" + frac;
  return sign + std::to_string(ax / 100) + "." + frac;
}

std::string Tplayer::AddRating(int32_t rating) {
  RatingSum = CheckedAdd(RatingSum, rating);
  return AverageRatingText();
}

std::string Tplayer::ChoiceText() const {
  return ChoiceLetter(Choice1) + "-" + ChoiceLetter(Choice2) + "-" + ChoiceLetter(Choice3) + "-" +
         ChoiceLetter(Choice4);
}

std::vector<std::string> Tplayer::RowFields(const TworldView& world) const {
  std::vector<std::string> f = {"", "", Name, std::to_string(Age), PositionName(Mtype)};
  for (int i = 0; i < 6; ++i) f.push_back(std::to_string(Ability(i)));
  f.push_back(Leg ? "R" : "L");
  f.push_back(ChoiceText());
  f.push_back(std::to_string(Games));
  f.push_back(std::to_string(Goal));
  f.push_back(std::to_string(Asist));
  f.push_back(std::to_string(Value(world)));
  f.push_back(std::to_string(Condition));
  f.push_back(std::to_string(GrowthPhase()));
  return f;
}

std::string Tplayer::RowText(const TworldView& world) const { return CommaText(RowFields(world)); }

std::string Tplayer::AbilityRow(int k) const {
  if (k != 0 && k != 1) return "";
  const std::array<int32_t, 6>& a = k == 0 ? LastSeason : SeasonBefore;
  std::string out;
  for (int32_t v : a) out += std::to_string(v) + ",";
  return out;
}

int32_t Tplayer::RoleAdjust() const {
  int32_t e = Age - PeakAge;
  if (e >= 4) return -5;
  if (e >= 2) return -3;
  return 0;
}

void Tplayer::RatingRow(std::vector<int32_t>& row, const TworldView& world) const {
  int32_t adj = RoleAdjust();
  row.assign(9, 0);
  row[3] = HasClub(TeamIndex) ? CheckedAdd(Wage(), Value(world)) : Wage();
  if (Mtype >= 0 && Mtype <= 5) row[4] = 2 * Speed + Height + 2 * ballContorol + Anticipation + adj;
  if (Mtype >= 0 && Mtype <= 11) row[5] = Defense + adj;
  row[6] = AbilitySum() + adj;
  if (Mtype >= 12 && Mtype <= 20) {
    row[7] = KickContorol + adj;
    row[8] = Speed + KickContorol + Anticipation + adj;
  }
}

std::vector<int32_t> Tplayer::RatingRow(const TworldView& world) const {
  std::vector<int32_t> row;
  RatingRow(row, world);
  return row;
}

void Tplayer::LineupRow(std::vector<int32_t>& row) const {
  int32_t b = FormBonus(Condition);
  int32_t sum = AbilitySum();
  row = {0,
         Mtype,
         Speed + b,
         KickContorol + b,
         Speed + KickContorol + Anticipation + b,
         sum,
         Speed + b,
         Defense + b,
         2 * Speed + Height + 2 * ballContorol + Anticipation + b,
         sum,
         sum};
  if (Mtype >= 0 && Mtype <= 11) {
    for (int i = 2; i <= 5; ++i) row[i] -= 200;
    if (Mtype >= 3 && Mtype <= 5) row[8] -= 20;
    if (Mtype >= 6) row[8] -= 100;
  } else if (Mtype >= 12 && Mtype <= 20) {
    for (int i = 6; i <= 9; ++i) row[i] -= 200;
  }
}

std::vector<int32_t> Tplayer::LineupRow() const {
  std::vector<int32_t> row;
  LineupRow(row);
  return row;
}

bool Tplayer::BeatsRoleRatings(const std::array<int32_t, 5>& refs, const TworldView& world) const {
  static const int32_t kBonus[5] = {90, 15, 90, 15, 45};
  std::vector<int32_t> row = RatingRow(world);
  for (int i = 0; i < 5; ++i)
    if (row[4 + i] + kBonus[i] > refs[i]) return true;
  return false;
}

std::array<int32_t, 6> Tplayer::CoachValues() const {
  std::array<int32_t, 6> v{};
  int32_t total = AbilitySum();
  for (int i = 0; i < 6; ++i) {
    if (total <= 0) {  // deliberately the weakest coach rather than a division by zero
      v[i] = 1;
      continue;
    }
    double a = Ability(i);
    v[i] = ClampInt(RoundHalfEven((a * 20.0 / total + a / 7.0) / 2.0), 1, 10);
  }
  return v;
}

void Tplayer::ScaleAbilities(int32_t p) {
  for (int i = 0; i < 6; ++i) Ability(i) = ClampInt(CheckedMul(Ability(i), CheckedAdd(p, 100)) / 100, 0, 99);
}

// ---- stream forms ------------------------------------------------------------------

void Tplayer::SaveToStream(TStream& s) const {
  WriteString(s, Name);
  for (int i = 0; i < 6; ++i) s.WriteInt32(Ability(i));
  for (int32_t v : GrowthPoints) s.WriteInt32(v);
  for (int32_t v : GrowthRate) s.WriteInt32(v);
  for (int32_t v : LastSeason) s.WriteInt32(v);
  for (int32_t v : SeasonBefore) s.WriteInt32(v);
  for (int i = 0; i < 4; ++i) s.WriteInt32(Choice(i));
  s.WriteInt32(Games);
  s.WriteInt32(Goal);
  s.WriteInt32(Asist);
  s.WriteInt32(Condition);
  s.WriteInt32(ConditionTrend);
  s.WriteInt32(ConditionDelta);
  s.WriteInt32(Age);
  s.WriteInt32(PeakAge);
  s.WriteInt32(Mtype);
  s.WriteInt32(BaseValue);
  s.WriteInt32(Fatigue);
  s.WriteInt32(InjuryWeeks);
  for (int32_t v : Affinity) s.WriteInt32(v);
  s.WriteByte(Leg);
  s.WriteInt32(RatingSum);
  History.SaveToStream(s);
}

namespace {
// Bounds of a readable record, far beyond what the rules produce, so that
// nothing read overflows while the record is checked. What a loaded world
// must keep (abilities 0 .. 99, form -20 .. 20, attachment 0 .. 100) and
// what it may hold beyond the rules are the invariants of club/Uinvariants.h.
constexpr int32_t kMaxStoredAbility = 1000;
constexpr int32_t kMaxStoredCondition = 100;
constexpr int32_t kMaxStoredAge = 1000;
constexpr int32_t kMaxStoredAffinity = 1000;  // the rules keep 0 .. 100
// The value is multiplied by up to 6 / 5 and then 9 / 10 to price a player:
// far above what any player is worth, and far below where that overflows.
constexpr int32_t kMaxStoredBaseValue = 100000000;
}  // namespace

void Tplayer::LoadRecord(TStream& s, bool withRatingSum) {
  // Read into a copy so a damaged record leaves this player as it was.
  Tplayer p(*this);
  s.Need(4, "player name");
  ReadString(s, p.Name);
  // Abilities, ages and form are summed and differenced unchecked all over
  // the game: a stored value far outside what any player can have is damage.
  for (int i = 0; i < 6; ++i) p.Ability(i) = s.ReadInt32In(0, kMaxStoredAbility, "ability");
  for (int32_t& v : p.GrowthPoints) v = s.ReadInt32();
  for (int32_t& v : p.GrowthRate) v = s.ReadInt32();
  for (int32_t& v : p.LastSeason) v = s.ReadInt32();
  for (int32_t& v : p.SeasonBefore) v = s.ReadInt32();
  for (int i = 0; i < 4; ++i) p.Choice(i) = s.ReadInt32In(0, 3, "preferred action");
  p.Games = s.ReadInt32();
  p.Goal = s.ReadInt32();
  p.Asist = s.ReadInt32();
  p.Condition = s.ReadInt32In(-kMaxStoredCondition, kMaxStoredCondition, "form");
  p.ConditionTrend = s.ReadInt32();
  p.ConditionDelta = s.ReadInt32();
  p.Age = s.ReadInt32In(0, kMaxStoredAge, "age");
  p.PeakAge = s.ReadInt32In(0, kMaxStoredAge, "peak age");
  p.Mtype = s.ReadInt32In(0, 20, "position code");
  p.BaseValue = s.ReadInt32In(0, kMaxStoredBaseValue, "base value");
  p.Fatigue = s.ReadInt32();
  p.InjuryWeeks = s.ReadInt32();
  for (int32_t& v : p.Affinity) v = s.ReadInt32In(-kMaxStoredAffinity, kMaxStoredAffinity, "attachment");
  p.Leg = s.ReadByte();
  if (withRatingSum) p.RatingSum = s.ReadInt32();
  p.History.LoadFromStream(s);
  *this = std::move(p);
}

void Tplayer::LoadFromStream(TStream& s) { LoadRecord(s, true); }

void Tplayer::LoadFromStreamShort(TStream& s) { LoadRecord(s, false); }

void Tplayer::WriteMatchRecord(TStream& s) const {
  WriteString(s, Name);
  s.WriteInt32(Mtype);
  for (int i = 0; i < 6; ++i) s.WriteInt32(Ability(i));
  s.WriteInt32(Condition);
  for (int i = 0; i < 4; ++i) s.WriteInt32(Choice(i));
  s.WriteByte(Leg);
}

void Tplayer::Clone(const Tplayer& source) {
  TStream m;
  source.SaveToStream(m);
  m.Seek(0);
  LoadFromStream(m);
}

// ---- development -----------------------------------------------------------------------

void Tplayer::WeeklyGrowth(const std::array<int32_t, 6>& weights) {
  int32_t e = Age - PeakAge;
  int32_t f;
  if (e <= -4)
    f = 1;
  else if (e == -3)
    f = 2;
  else if (e == -2)
    f = 3;
  else if (e == -1 || e == 0)
    f = 4;
  else if (e == 1)
    f = 3;
  else if (e <= 3)
    f = 0;
  else
    f = -(e - 3);

  if (f > 0) {
    for (int i = 0; i < 6; ++i) {
      GrowthPoints[i] = CheckedAdd(GrowthPoints[i], CheckedMul(std::min(f, GrowthRate[i]), weights[i]));
      // Points turn into ability only up to 99; beyond, they just collect.
      int32_t& a = Ability(i);
      while (a < 99 && GrowthPoints[i] >= kPointsPerAbilityPoint) {
        GrowthPoints[i] -= kPointsPerAbilityPoint;
        ++a;
      }
    }
  } else if (f < 0) {
    for (int i = 0; i < 6; ++i) {
      GrowthPoints[i] = CheckedAdd(GrowthPoints[i], CheckedMul(15, f));
      int32_t& a = Ability(i);
      while (a > 1 && GrowthPoints[i] < 0) {
        --a;
        GrowthPoints[i] += kPointsPerAbilityPoint;
      }
    }
  }
}

void Tplayer::AddFatigue(int32_t amount, bool benchCheck, const TworldView& world) {
  Fatigue = CheckedAdd(Fatigue, amount);
  if (benchCheck && Fatigue < 0 && GrowthPhase() >= 2) UnhappyAtBench(world);
  Fatigue = std::max(0, Fatigue);
}

void Tplayer::UnhappyAtBench(const TworldView& world) {
  int32_t d = DivisionOfClub(world, TeamIndex);
  if (d < 1 || d > 3) return;
  for (int32_t c : ClubsOfDivision(world, d)) SetAffinity(c, GetAffinity(c) + (c == TeamIndex ? -1 : 1));
  if (d != 3)
    for (int32_t div = d; div <= 3; ++div)
      for (int32_t c : ClubsOfDivision(world, div)) SetAffinity(c, GetAffinity(c) + 1);
}

bool Tplayer::InjuryCheck() {
  int32_t r = Random(2000);
  if (r > Fatigue) return false;
  InjuryWeeks = r / 4 + 1;
  return true;
}

void Tplayer::UpdateCondition() {
  // One turn of the cycle is 20; a trend read from a damaged file may lie
  // several turns out (the remainder keeps its sign).
  if (ConditionTrend <= -20 || ConditionTrend >= 20) ConditionTrend %= 20;
  ConditionDelta = ClampInt(ConditionDelta, -5, 5);
  if (Sign(ConditionTrend) != Sign(ConditionDelta) && std::abs(ConditionTrend) >= 10)
    ConditionTrend = Sign(ConditionTrend) * (20 - std::abs(ConditionTrend));
  ConditionTrend = CheckedAdd(ConditionTrend, ConditionDelta);
  ConditionDelta = 0;
  if (std::abs(ConditionTrend) >= 20) ConditionTrend -= Sign(ConditionTrend) * 20;
  Condition = std::abs(ConditionTrend) < 10 ? ConditionTrend : Sign(ConditionTrend) * (20 - std::abs(ConditionTrend));

  int32_t F = Fatigue;
  if (F >= 0 && F <= 20)
    Condition -= 5 - F / 4;
  else if (F >= 40 && F <= 79)
    Condition -= (F - 36) / 4;
  else if (F >= 80)
    Condition -= 10;

  if (HasClub(TeamIndex)) Condition += GetAffinity(TeamIndex) / 5 - 10;
  Condition = ClampInt(Condition, -20, 20);
}

void Tplayer::InitialAffinity(const TworldView& world) {
  bool own = HasClub(TeamIndex);
  int32_t b = own ? 25 - world.ReputationOf(TeamIndex) * 7 / 10 : 0;
  for (int32_t c = 0; c < kAffinityClubs; ++c)
    Affinity[static_cast<std::size_t>(c)] = world.ReputationOf(c) * 7 / 10 + 25 + b;
  if (!own) return;
  int32_t d = DivisionOfClub(world, TeamIndex);
  if (d < 1 || d > 3) return;
  for (int32_t i = 1; i <= 3; ++i) {
    for (int32_t c : ClubsOfDivision(world, i)) {
      if (i != d)
        SetAffinity(c, GetAffinity(c) + (d - i) * 5);
      else if (c != TeamIndex)
        SetAffinity(c, GetAffinity(c) - 10);
    }
  }
}

void Tplayer::SeasonAffinityDrift(const TworldView& world) {
  bool own = HasClub(TeamIndex);
  for (int32_t c = 0; c < kAffinityClubs; ++c) {
    if (own && c == TeamIndex && GetAffinity(c) <= 10) continue;
    SetAffinity(c, world.ReputationOf(c) * 7 / 50 + GetAffinity(c) * 4 / 5 + 5);
  }
  if (!own) return;
  int32_t d = DivisionOfClub(world, TeamIndex);
  if (d < 1 || d > 3) return;
  for (int32_t i = 1; i <= 3; ++i) {
    for (int32_t c : ClubsOfDivision(world, i)) {
      if (i != d)
        SetAffinity(c, GetAffinity(c) + (d - i));
      else if (c != TeamIndex)
        SetAffinity(c, GetAffinity(c) - 2);
    }
  }
}

void Tplayer::CloseSeason(int32_t tradeCode, const TworldView& world) {
  SeasonAffinityDrift(world);

  double r = Games >= 10 ? static_cast<double>(RatingSum) / (static_cast<double>(Games) * 10.0) : 0.0;
  int32_t phase = GrowthPhase();
  double floor = phase == 1 ? 0.5 : phase == 2 ? 0.4 : 0.3;
  BaseValue = RoundHalfEven(BaseValue * std::max(r, floor));
  BaseValue = CheckedAdd(BaseValue, CheckedAdd(CheckedMul(2, Goal), CheckedMul(2, Asist)));
  for (int i = 0; i < 6; ++i) {
    int32_t a = Ability(i);
    BaseValue = CheckedAdd(BaseValue, CheckedMul(a, a) / 20);
    SeasonBefore[i] = LastSeason[i];
    LastSeason[i] = a;
  }
  BaseValue = std::max(0, BaseValue);
  Fatigue = std::max(0, Fatigue - 10);
  Age = CheckedAdd(Age, 1);

  int last = History.RowCount() - 1;
  bool rowOk = last >= 0 && History.RowLength(last) >= kHistColumns;
  if (rowOk && Games != 0) {
    int32_t rate = RoundHalfEven(static_cast<double>(RatingSum) * 100.0 / Games);
    History.SetValue(last, kHistRate, std::min(rate, 999));
  }
  RatingSum = 0;
  // Deliberately the stint's row keeps how the player came (a transfer fee,
  // a youth product) rather than the closing code; the new row tells how he
  // goes on.
  if (rowOk) {
    History.SetValue(last, kHistGame, Games);
    History.SetValue(last, kHistGoal, Goal);
    History.SetValue(last, kHistAssist, Asist);
  }
  Games = Goal = Asist = 0;
  History.AddRow({world.CurrentYear(), TeamIndex, tradeCode, 0, 0, 0, 0});
}

void Tplayer::MakeRelative(const Tplayer& parent) {
  Name = parent.Name;
  BaseValue = 0;
  for (int i = 0; i < 6; ++i) {
    int32_t a = (2 + Random(7)) * parent.Ability(i) / 10 + 1;
    a = ClampInt(a, 1, 99);
    Ability(i) = a;
    LastSeason[i] = SeasonBefore[i] = a;
    BaseValue += a * a / 10;
  }
  Age = 16 + Random(4);

  std::size_t stop = Name.find(kFullWidthStop);
  std::size_t space = Name.find(kFullWidthSpace);
  if (stop != std::string::npos) {
    Name = Letter(65 + Random(25)) + Name.substr(FirstCharLength(Name));
  } else if (space != std::string::npos) {
    Name = Name.substr(0, space + std::string(kFullWidthSpace).size()) + NameAt(0, kFamilyNames + Random(kGivenNames));
  } else {
    Name = Letter(65 + Random(25)) + kFullWidthStop + Name;
  }
}
