#include "world/Useasonevent.h"

#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {

constexpr int32_t kNamelessCost = 1000;
constexpr int32_t kNamelessMinMoney = 1500;

Tteam& UserClub() {
  if (!GameState) throw VantorelError("season events need a game state");
  return GameState->Team(kUserClub);
}

// Games of the season just finished: the second-to-last history row. A
// player without a finished season (a filler who just joined) has none.
int32_t LastSeasonGames(const Tplayer& p) {
  int rows = p.History.RowCount();
  if (rows < 2 || p.History.RowLength(rows - 2) <= kHistGame) return 0;
  return p.History.GetValue(rows - 2, kHistGame);
}

// Numbers of the user's squad players that satisfy `pred`, in list order.
template <class Pred>
std::vector<int32_t> SquadCandidates(const Tteam& club, Pred pred) {
  std::vector<int32_t> numbers;
  for (int i = 0; i < club.Squad->Count(); ++i)
    if (pred(*club.Squad->PlayerAt(i))) numbers.push_back(club.Squad->NumberAt(i));
  return numbers;
}

int32_t ChooseOne(const std::vector<int32_t>& candidates) {
  return candidates[static_cast<std::size_t>(Random(static_cast<int32_t>(candidates.size())))];
}

}  // namespace

int32_t CheapSaleBuyer() {
  if (!GameState) return -1;
  int32_t buyer = -1;
  int32_t best = 0;
  for (int32_t pos = 1; pos < kClubsPerDivision; ++pos) {
    int32_t club = GameState->TeamAt(1, pos);
    int32_t money = GameState->Team(club).Money;
    if (money > best) {
      best = money;
      buyer = club;
    }
  }
  return buyer;
}

void Tseasonevent::Start() {
  Lines.clear();
  Lines.push_back("年末年始の" + UserClub().ClubName + "の情報です");
  if (GameState->WonTopDivision)
    EventStep = kChampion;
  else if (GameState->DivisionOf(kUserClub) == 1)
    EventStep = kTopDivision;
  else
    EventStep = kLowerDivisions;
  GridVisible = false;
  Picture = TeventPicture{};
  Finished = false;
}

TseasonEventKind Tseasonevent::Next() {
  Lines.clear();
  GridVisible = false;
  Picture = TeventPicture{};
  if (Finished) {
    RunEnd();
    return TseasonEventKind::End;
  }
  bool shown = false;
  while (!shown) {
    shown = RunStep(EventStep);
    EventStep = CheckedAdd(EventStep, 1);
  }
  return Picture.Kind;
}

bool Tseasonevent::RunStep(int32_t step) {
  switch (step) {
    case 0:
    case 100:
    case 200: return RunDepartures();
    case 1:
    case 101:
    case 201: return Random(4) == 0 && RunComeback();
    case 2:
    case 102:
    case 202: return Random(4) == 0 && RunComplacency();
    case 103: return Random(2) == 0 && RunYoungerBrother();
    case 104: {
      bool drawn = Random(3) == 0;
      return drawn && UserClub().Money >= kNamelessMinMoney && RunNamelessSigning();
    }
    case 105: return Random(2) == 0 && RunInvestment();
    case 203: return Random(3) != 0 && RunCheapSale();
    case 204: return Random(2) == 0 && RunVeteranRetires();
    default: RunEnd(); return true;
  }
}

bool Tseasonevent::RunDepartures() {
  Tteam& club = UserClub();
  const std::vector<std::string> lines = SplitCommaText(club.Departures(*GameState, GameState->Market.get()));
  if (lines.empty()) return false;
  Gridpfree.SetColCount(4);
  Gridpfree.SetRowCount(1);
  Gridpfree.ClearCells();
  Gridpfree.DefaultColWidth = 50;
  Gridpfree.DefaultRowHeight = 20;
  Gridpfree.FixedCols = 0;
  for (const std::string& line : lines) {
    std::vector<std::string> fields = SplitCommaText(line);
    int row = Gridpfree.RowCount();
    Gridpfree.SetRowCount(row + 1);
    for (int c = 0; c < 4 && c < static_cast<int>(fields.size()); ++c) Gridpfree.Cells(c, row) = fields[c];
  }
  Gridpfree.SetColWidth(0, 20);
  Gridpfree.SetColWidth(1, 80);
  Gridpfree.FixedRows = 1;
  GridVisible = true;
  Lines.push_back("我がチームの引退・退団者情報です");
  Picture.Kind = TseasonEventKind::Departures;
  return true;
}

bool Tseasonevent::RunComeback() {
  Tteam& club = UserClub();
  auto candidates = SquadCandidates(club, [](const Tplayer& p) { return LastSeasonGames(p) < 10; });
  if (candidates.empty()) return false;
  Tplayer* p = club.Squad->PlayerByNumber(ChooseOne(candidates));
  p->ScaleAbilities(20);
  Lines.push_back("昨季ほとんど活躍できなかった" + p->Name + "ですが");
  Lines.push_back("レギュラー取りのために燃えています");
  Picture.Kind = TseasonEventKind::Comeback;
  return true;
}

bool Tseasonevent::RunComplacency() {
  Tteam& club = UserClub();
  auto candidates = SquadCandidates(club, [](const Tplayer& p) { return LastSeasonGames(p) >= 20; });
  if (candidates.empty()) return false;
  Tplayer* p = club.Squad->PlayerByNumber(ChooseOne(candidates));
  p->ScaleAbilities(-20);
  Lines.push_back(p->Name + "は調子に乗って練習をしてないようです");
  Lines.push_back("来期活躍してくれるかどうか心配です");
  Picture.Kind = TseasonEventKind::Complacency;
  return true;
}

bool Tseasonevent::RunYoungerBrother() {
  Tteam& club = UserClub();
  auto candidates = SquadCandidates(club, [](const Tplayer& p) {
    if (p.Age < 20 || p.History.RowCount() == 0 || p.History.RowLength(0) <= kHistGame) return false;
    if (p.History.GetValue(0, kHistTeam) != kUserClub) return false;
    int64_t games = 0;
    for (int r = 0; r < p.History.RowCount(); ++r)
      if (p.History.RowLength(r) > kHistGame && p.History.GetValue(r, kHistTeam) == kUserClub)
        games += p.History.GetValue(r, kHistGame);
    return games >= 60;
  });
  if (candidates.empty()) return false;
  const Tplayer* elder = club.Squad->PlayerByNumber(ChooseOne(candidates));
  auto brother = std::make_unique<Tplayer>(9, 0, 0, kUserClub, *GameState);
  brother->MakeRelative(*elder);
  const std::string name = brother->Name;
  club.Youth->Add(std::move(brother), CheckedMul(GameState->Year, 100));
  Lines.push_back(elder->Name + "の弟" + name + "がユースチームに入団しました");
  Lines.push_back("一部では兄以上の素材という評価がされています");
  Picture.Kind = TseasonEventKind::YoungerBrother;
  return true;
}

bool Tseasonevent::RunNamelessSigning() {
  Tteam& club = UserClub();
  club.AddMoney(-kNamelessCost);
  const int32_t nationality = Random(10);
  const int32_t level = 10 + Random(25);
  Tplayer signing(9, nationality, level, kUserClub, *GameState);
  signing.Age = 20 + Random(10);
  club.TakeIn(signing, 1);
  Lines.push_back("フロントが1000で" + signing.Name + "を獲得しました");
  Lines.push_back("まったくの無名選手であるため、実力は未知数です");
  Picture.Kind = TseasonEventKind::NamelessSigning;
  return true;
}

bool Tseasonevent::RunInvestment() {
  Tteam& club = UserClub();
  const int32_t r = Random(100);
  if (r == 0) {
    club.AddMoney(5000);
    Lines.push_back("石油王が5000の投資をしてくれました");
  } else if (r >= 90) {
    club.AddMoney(2000);
    Lines.push_back("投資家が2000の投資をしてくれました");
  } else {
    club.AddMoney(10);
    Lines.push_back("サポーターから10の寄付金を頂きました");
  }
  Picture.Kind = TseasonEventKind::Investment;
  return true;
}

bool Tseasonevent::RunCheapSale() {
  const int32_t buyerIndex = CheapSaleBuyer();
  if (buyerIndex < 0) return false;
  Tteam& club = UserClub();
  Tteam& buyer = GameState->Team(buyerIndex);
  if (buyer.Squad->Count() >= kMaxSquad) return false;  // deliberately refused: no room for him
  const int32_t buyerMoney = buyer.Money;
  const TworldView& world = *GameState;
  auto candidates = SquadCandidates(club, [buyerMoney, &world](const Tplayer& p) {
    return p.GrowthPhase() <= 3 && p.Value(world) / 2 + 2000 < buyerMoney;
  });
  if (candidates.empty()) return false;
  const int32_t number = ChooseOne(candidates);
  const Tplayer* p = club.Squad->PlayerByNumber(number);
  const int32_t price = p->Value(world) / 2;
  const std::string name = p->Name;
  buyer.AddMoney(-price);
  buyer.TakeIn(*p, 1);
  club.Release(number, world);
  Lines.push_back(name + "をフロントが格安の" + std::to_string(price) + "で" + buyer.ClubName + "に放出しました");
  Lines.push_back("裏で一体何があったのでしょうか");
  Picture.Kind = TseasonEventKind::CheapSale;
  Picture.EmblemClub = buyerIndex;
  return true;
}

bool Tseasonevent::RunVeteranRetires() {
  Tteam& club = UserClub();
  auto candidates =
      SquadCandidates(club, [](const Tplayer& p) { return p.GrowthPhase() >= 3 && LastSeasonGames(p) >= 18; });
  if (candidates.empty()) return false;
  const int32_t number = ChooseOne(candidates);
  const std::string name = club.Squad->PlayerByNumber(number)->Name;
  club.Release(number, *GameState);
  Lines.push_back("優勝を機に" + name + "が引退するようです");
  Lines.push_back("惜しいですが、残りの戦力で連覇を目指しましょう");
  Picture.Kind = TseasonEventKind::VeteranRetires;
  return true;
}

void Tseasonevent::RunEnd() {
  Lines.push_back("以上で終了です");
  Lines.push_back("来季も頑張りましょう");
  Picture.Kind = TseasonEventKind::End;
  Finished = true;
}
