// SendObject: the property lines of every kind, their order and nesting, and where a dump stops.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "client/type_info.h"
#include "tests/fake/client_fixture.h"

namespace wl {
namespace {

WL_ENUM(TFruit, apple, banana, cherry)
WL_SET(TFruits, TFruit)
WL_INT_RANGE(TDigit, 3, 5)
WL_SET(TDigits, TDigit)

struct TPoint {
  int x = 0, y = 0;
};
struct TOpaque {};

// An object without type information.
class TBare : public TObject {
 public:
  const char* ClassName() const override { return "TBare"; }
};

// One property of every form the dump writes; each test sets the ones it looks at.
class TProbe : public TObject {
 public:
  const char* ClassName() const override { return "TProbe"; }
  const ClassTypeInfo* ClassInfo() const override;

  std::int32_t Color = 0, Count = 0;
  std::int16_t Cursor = 0;
  std::string Text;
  char Short[8] = "";
  std::wstring Wide;
  double Ratio = 0, When = 0, Day = 0, Clock = 0;
  bool Flag = false;
  LongBool Wordy;
  TFruit Fruit = TFruit::apple;
  TFruits Basket;
  TDigits Digits;
  char Letter = 'x';
  std::int64_t Big = 0;
  wchar_t Wch = L'x';
  std::vector<int> Items;
  TPoint Point;
  TOpaque* Iface = nullptr;
  std::function<void()> OnChange;
  int* Raw = nullptr;
  std::int32_t Secret = 0;
  TProbe* Child = nullptr;
  TComponent* Part = nullptr;
  TBare* Opaque = nullptr;
};

const ClassTypeInfo* TProbe::ClassInfo() const {
  return WL_PUBLISHED(
      TProbe, TObject, WL_PROP(Color, "TColor"), WL_PROP(Count), WL_PROP(Cursor, "TCursor"),
      WL_PROP(Text), WL_PROP(Short), WL_PROP(Wide), WL_PROP(Ratio), WL_PROP(When, "TDateTime"),
      WL_PROP(Day, "TDate"), WL_PROP(Clock, "TTime"), WL_PROP(Flag), WL_PROP(Wordy), WL_PROP(Fruit),
      WL_PROP(Basket), WL_PROP(Digits), WL_PROP(Letter), WL_PROP(Big), WL_PROP(Wch), WL_PROP(Items),
      WL_PROP(Point), WL_PROP(Iface), WL_PROP(OnChange), WL_PROP(Raw), WL_PROP_WRITEONLY(Secret),
      WL_PROP(Child), WL_PROP(Part), WL_PROP(Opaque));
}

std::vector<std::string> SplitLines(const std::string& details) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < details.size();) {
    const std::size_t end = details.find("\r\n", at);
    lines.push_back(details.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

class ObjectDumpTest : public fake::ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
  }
  std::vector<fake::Packet> OfKind(std::int32_t kind) const {
    std::vector<fake::Packet> found;
    for (const fake::Packet& p : packets())
      if (p.kind == kind) found.push_back(p);
    return found;
  }
  // The details lines of the one object message sent.
  std::vector<std::string> DumpLines() const {
    const auto sent = OfKind(mkObject);
    EXPECT_EQ(sent.size(), 1u);
    return sent.empty() ? std::vector<std::string>{} : SplitLines(sent.back().details);
  }
  // The lines of one property of the top object: its own and the deeper ones after it.
  std::vector<std::string> PropertyLines(TObject& obj, const std::string& name) {
    os->ClearRecord();
    client().SendObject("probe", &obj);
    const auto lines = DumpLines();
    std::vector<std::string> mine;
    for (const std::string& line : lines) {
      if (line.rfind(name + "=", 0) == 0)
        mine.push_back(line);
      else if (!mine.empty() && line.rfind("  ", 0) == 0)
        mine.push_back(line);
      else if (!mine.empty())
        break;
    }
    return mine;
  }
};

TEST_F(ObjectDumpTest, NewClientDumpsLineForLine) {
  client().SendObject("client", &client());
  const auto sent = OfKind(mkObject);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].msg, "client");
  EXPECT_EQ(sent[0].objectClass, "TWrenlog");
  EXPECT_EQ(SplitLines(sent[0].details),
            (std::vector<std::string>{"Category=", "CategoryColor=clWindow",
                                      "DateTimeFormat=", "DestinationDetails=", "Enabled=True",
                                      "HexNumPrefix='$'", "HexViewWidth=8",
                                      "Name=", "QuoteChar=<<Not Implemented Yet>>", "Tag=0"}));
}

// Objects that rows refer to; they live as long as the test program.
TComponent& Named(const char* name) {
  static TComponent component;
  component.Name = name;
  return component;
}
TBare& Bare() {
  static TBare bare;
  return bare;
}

// Names that sort by bytes with bit 0x20 cleared, a prefix first.
class TNames : public TObject {
 public:
  const char* ClassName() const override { return "TNames"; }
  const ClassTypeInfo* ClassInfo() const override {
    return WL_PUBLISHED(TNames, TObject, WL_PROP(Beta), WL_PROP(x_), WL_PROP(xa), WL_PROP(x1),
                        WL_PROP(X), WL_PROP(alpha), WL_PROP(Tags), WL_PROP(Tag));
  }
  std::int32_t Beta = 0, x_ = 0, xa = 0, x1 = 0, X = 0, alpha = 0, Tags = 0, Tag = 0;
};

// A component that publishes a name of its own beside the inherited Name and Tag.
class TPanel : public TComponent {
 public:
  const char* ClassName() const override { return "TPanel"; }
  const ClassTypeInfo* ClassInfo() const override {
    return WL_PUBLISHED(TPanel, TComponent, WL_PROP(Caption), WL_PROP(tag));
  }
  std::string Caption = "Hi";
  std::int32_t tag = 5;  // takes the place of the inherited Tag
};

TEST_F(ObjectDumpTest, SortsNamesWithoutCaseDigitsFirstPrefixFirst) {
  TNames names;
  client().SendObject("names", &names);
  EXPECT_EQ(DumpLines(), (std::vector<std::string>{"alpha=0", "Beta=0", "Tag=0", "Tags=0", "X=0",
                                                   "x1=0", "xa=0", "x_=0"}));
}

TEST_F(ObjectDumpTest, InheritsAncestorsPropertiesAndTheNearestDeclarationWins) {
  TPanel panel;
  panel.Name = "Panel1";
  panel.Tag = 9;
  client().SendObject("panel", &panel);
  EXPECT_EQ(DumpLines(), (std::vector<std::string>{"Caption='Hi'", "Name='Panel1'", "tag=5"}));
  EXPECT_EQ(OfKind(mkObject)[0].objectClass, "TPanel");
}

TEST_F(ObjectDumpTest, NestedObjectsAreIndentedOneLevelDeeperEach) {
  TProbe outer, middle, inner;
  outer.Child = &middle;
  middle.Child = &inner;
  middle.Basket = {TFruit::banana};
  inner.Count = 3;
  const auto lines = PropertyLines(outer, "Child");
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_EQ(lines.front(), "Child=(TProbe)");
  EXPECT_TRUE(has("  Basket=[TFruits]"));
  EXPECT_TRUE(has("    banana=True"));
  EXPECT_TRUE(has("  Child=(TProbe)"));
  EXPECT_TRUE(has("    Count=3"));
  EXPECT_TRUE(has("    Child=nil"));
  // The nested lines come before the outer object's next property.
  const auto all = DumpLines();
  const auto child = std::find(all.begin(), all.end(), "Child=(TProbe)");
  ASSERT_NE(child + 1, all.end());
  EXPECT_EQ(child[1], "  Basket=[TFruits]");
}

TEST_F(ObjectDumpTest, CyclesStopAtTheFirstReferenceBack) {
  TProbe a, b;
  a.Child = &b;
  b.Child = &a;
  const auto lines = PropertyLines(a, "Child");
  EXPECT_EQ(lines.front(), "Child=(TProbe)");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  Child=<<Circular Reference>>"), lines.end());
  TProbe self;
  self.Child = &self;
  EXPECT_EQ(PropertyLines(self, "Child"),
            (std::vector<std::string>{"Child=<<Circular Reference>>"}));
}

TEST_F(ObjectDumpTest, ALongChainStopsAtSixtyFourLevels) {
  std::vector<TProbe> chain(70);
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) chain[i].Child = &chain[i + 1];
  client().SendObject("chain", &chain[0]);
  const auto lines = DumpLines();
  const std::string deepest = std::string(2 * 64, ' ') + "Child=<<Nesting Too Deep>>";
  EXPECT_NE(std::find(lines.begin(), lines.end(), deepest), lines.end());
}

TEST_F(ObjectDumpTest, RefusedObjectsSendOneErrorAndNoObject) {
  TBare bare;
  client().SendObject("nothing", nullptr);
  client().SendObject("bare", &bare);
  TStringList top, nested;
  client().DumpProperties(false, &bare, 0, top);
  client().DumpProperties(true, &bare, 1, nested);
  EXPECT_TRUE(top.empty());
  EXPECT_TRUE(nested.empty());
  std::vector<std::string> errors;
  for (const auto& p : OfKind(mkError)) errors.push_back(p.msg);
  EXPECT_EQ(errors, (std::vector<std::string>{"nothing: Call to SendObject with nil object",
                                              "bare: Object has no RTTI", "Object has no RTTI"}));
  EXPECT_TRUE(OfKind(mkObject).empty());
}

TEST_F(ObjectDumpTest, DisabledClientExaminesAndSendsNothing) {
  client().Enabled = false;
  TBare bare;
  client().SendObject("nothing", nullptr);
  client().SendObject("bare", &bare);
  client().SendObject("client", &client());
  EXPECT_TRUE(packets().empty());
}

TEST_F(ObjectDumpTest, AnObjectWithoutPropertiesGivesEmptyDetails) {
  class TEmpty : public TObject {
   public:
    const char* ClassName() const override { return "TEmpty"; }
    const ClassTypeInfo* ClassInfo() const override { return WL_PUBLISHED(TEmpty, TObject); }
  } empty;
  client().SendObject("empty", &empty);
  ASSERT_EQ(OfKind(mkObject).size(), 1u);
  EXPECT_EQ(OfKind(mkObject)[0].details, "");
}

TEST_F(ObjectDumpTest, MessageTextIsCutTo255Characters) {
  client().SendObject(std::string(300, 'm'), &client());
  ASSERT_EQ(OfKind(mkObject).size(), 1u);
  EXPECT_EQ(OfKind(mkObject)[0].msg, std::string(255, 'm'));
}

// An object whose property reader fails while Fail is set.
class TFaulty : public TObject {
 public:
  const char* ClassName() const override { return "TFaulty"; }
  const ClassTypeInfo* ClassInfo() const override {
    return WL_PUBLISHED(TFaulty, TObject, WL_PROP(Value), WL_PROP(Next));
  }
  std::string Value() const {
    if (fail) throw std::runtime_error("reader failed");
    return "fine";
  }
  TFaulty* Next = nullptr;
  bool fail = false;
};

TEST_F(ObjectDumpTest, AFailingReaderEndsTheCallWithNothingSent) {
  TFaulty top, nested;
  top.Next = &nested;
  nested.fail = true;
  EXPECT_THROW(client().SendObject("faulty", &top), std::runtime_error);
  EXPECT_TRUE(packets().empty());
  // Nothing of the failed call stays behind: the same objects dump in full afterwards.
  nested.fail = false;
  client().SendObject("faulty", &top);
  EXPECT_EQ(DumpLines(), (std::vector<std::string>{"Next=(TFaulty)", "  Next=nil", "  Value='fine'",
                                                   "Value='fine'"}));
}

struct KindCase {
  const char* what;
  std::function<void(TProbe&, TWrenlog&)> set;
  const char* property;
  std::vector<std::string> lines;
};

void PrintTo(const KindCase& c, std::ostream* out) { *out << c.what; }

constexpr double kMay17 = 45429;  // 17 May 2024, days since 30 December 1899
constexpr double kSecond = 1.0 / 86400;

class PropertyKindTest : public ObjectDumpTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PropertyKindTest, WritesItsLines) {
  TProbe probe;
  GetParam().set(probe, client());
  EXPECT_EQ(PropertyLines(probe, GetParam().property), GetParam().lines);
}

#define SET(...)               \
  [](TProbe& p, TWrenlog& c) { \
    (void)p, (void)c;          \
    __VA_ARGS__;               \
  }
INSTANTIATE_TEST_SUITE_P(
    Lines, PropertyKindTest,
    ::testing::Values(
        KindCase{"system colour", SET(p.Color = clWindow), "Color", {"Color=clWindow"}},
        KindCase{"plain colour", SET(p.Color = 0x0000FF), "Color", {"Color=clRed"}},
        KindCase{"colour without row", SET(p.Color = 0x00123456), "Color", {"Color=$00123456"}},
        KindCase{"colour -1", SET(p.Color = -1), "Color", {"Color=$FFFFFFFF"}},
        KindCase{"cursor 0", SET(p.Cursor = 0), "Cursor", {"Cursor=crDefault"}},
        KindCase{"cursor -22", SET(p.Cursor = -22), "Cursor", {"Cursor=crSizeAll"}},
        KindCase{"cursor -1", SET(p.Cursor = -1), "Cursor", {"Cursor=-1"}},
        KindCase{"cursor 5", SET(p.Cursor = 5), "Cursor", {"Cursor=5"}},
        KindCase{"integer 8", SET(p.Count = 8), "Count", {"Count=8"}},
        KindCase{"integer -5", SET(p.Count = -5), "Count", {"Count=-5"}},
        KindCase{"empty text", SET(p.Text = ""), "Text", {"Text="}},
        KindCase{"apostrophe", SET(p.Text = "it's"), "Text", {"Text='it's'"}},
        KindCase{
            "quote char ignored", SET((p.Text = "a", c.QuoteChar = '"')), "Text", {"Text='a'"}},
        KindCase{"short text", SET(std::strcpy(p.Short, "abc")), "Short", {"Short='abc'"}},
        KindCase{"wide text", SET(p.Wide = L"w\u00e9"), "Wide", {"Wide='w?'"}},
        KindCase{"half", SET(p.Ratio = 0.5), "Ratio", {"Ratio=0.5"}},
        KindCase{"hundred", SET(p.Ratio = 100), "Ratio", {"Ratio=100"}},
        KindCase{"ten-thousandth", SET(p.Ratio = 0.0001), "Ratio", {"Ratio=0.0001"}},
        KindCase{"hundred-thousandth", SET(p.Ratio = 1e-5), "Ratio", {"Ratio=1E-5"}},
        KindCase{"1E15", SET(p.Ratio = 1e15), "Ratio", {"Ratio=1E15"}},
        KindCase{"15 digits", SET(p.Ratio = 123456789012345.0), "Ratio", {"Ratio=123456789012345"}},
        KindCase{"midnight", SET(p.When = kMay17), "When", {"When=5/17/2024"}},
        KindCase{
            "milliseconds only", SET(p.When = kMay17 + 0.25 * kSecond), "When", {"When=5/17/2024"}},
        KindCase{
            "one second", SET(p.When = kMay17 + kSecond), "When", {"When=5/17/2024 12:00:01 AM"}},
        KindCase{"own pattern",
                 SET((p.When = kMay17 + 0.75, c.DateTimeFormat = "yyyy-MM-dd HH:mm")),
                 "When",
                 {"When=2024-05-17 18:00"}},
        KindCase{"date", SET(p.Day = kMay17 + 0.75), "Day", {"Day=5/17/2024"}},
        KindCase{"time", SET(p.Clock = 0.75 + kSecond), "Clock", {"Clock=6:00:01 PM"}},
        KindCase{"Boolean", SET(p.Flag = true), "Flag", {"Flag=True"}},
        KindCase{"wide Boolean 0", SET(p.Wordy.value = 0), "Wordy", {"Wordy=False"}},
        KindCase{"wide Boolean -7", SET(p.Wordy.value = -7), "Wordy", {"Wordy=True"}},
        KindCase{"enumeration", SET(p.Fruit = TFruit::cherry), "Fruit", {"Fruit=cherry"}},
        KindCase{"enumeration out of range",
                 SET(p.Fruit = static_cast<TFruit>(7)),
                 "Fruit",
                 {"Fruit=<<Out Of Range: 7>>"}},
        KindCase{"set a and c",
                 SET((p.Basket = {TFruit::apple, TFruit::cherry})),
                 "Basket",
                 {"Basket=[TFruits]", "  apple=True", "  banana=False", "  cherry=True"}},
        KindCase{"set of a range",
                 SET(p.Digits.Include(4)),
                 "Digits",
                 {"Digits=[TDigits]", "  3=False", "  4=True", "  5=False"}},
        KindCase{"char", SET(), "Letter", {"Letter=<<Not Implemented Yet>>"}},
        KindCase{"int64", SET(), "Big", {"Big=<<Not Implemented Yet>>"}},
        KindCase{"wide char", SET(), "Wch", {"Wch=<<Not Implemented Yet>>"}},
        KindCase{"dynamic array", SET(), "Items", {"Items=<<Not Implemented Yet>>"}},
        KindCase{"record", SET(), "Point", {"Point=<<Not Implemented Yet>>"}},
        KindCase{"interface", SET(), "Iface", {"Iface=<<Not Implemented Yet>>"}},
        KindCase{"event", SET(p.OnChange = [] {}), "OnChange", {}},
        KindCase{"unclassified", SET(), "Raw", {}},
        KindCase{"no read accessor", SET(p.Secret = 3), "Secret", {}},
        KindCase{"nil", SET(), "Child", {"Child=nil"}},
        KindCase{"component", SET(p.Part = &Named("Button1")), "Part", {"Part=Button1"}},
        KindCase{"component without name", SET(p.Part = &Named("")), "Part", {"Part="}},
        KindCase{
            "no type information nested", SET(p.Opaque = &Bare()), "Opaque", {"Opaque=(TBare)"}}),
    [](const auto& info) {
      std::string name;
      for (char ch : std::string(info.param.what)) name += std::isalnum(ch) ? ch : '_';
      return name;
    });
#undef SET

}  // namespace
}  // namespace wl
