// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/transmission/message.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/case_name.h"

namespace jt4dds {
namespace {

std::string digits(const std::vector<std::uint8_t>& symbols) {
    std::string text;
    for (std::uint8_t s : symbols) text += static_cast<char>('0' + s);
    return text;
}

// JT4 messages of every kind and the 206 symbols jt4code (WSJT-X 2.6.1)
// printed for them.
struct Jt4Case {
    const char* name;
    const char* message;
    std::string symbols;
};

const Jt4Case kJt4[] = {
    {.name = "cq_with_locator",
     .message = "CQ K1ABC FN42",
     .symbols =
         "2201120233231221210002000132202020002003033011232331112100230230231333000103202333303100122213012101210"
         "1313303032130301033300321303133020013211000133231121110012003323122122013131100132222132003233231332303"},
    {.name = "calls_with_locator",
     .message = "K1ABC W9XYZ EN37",
     .symbols =
         "2003120231013001210002002130000220200201211011230111312322010212231111200301022313321302120233232303212"
         "3111121032110323231322303321133022013231220313013323130032223101100302211111302130200330201213231132101"},
    {.name = "report",
     .message = "W9XYZ K1ABC -15",
     .symbols =
         "3332213100302332323111311221131133111112120322303002203031103121322002131012131020210031031300303012103"
         "0220230301221032322213210232022313320122313022102032223103332230011233100000011023333221110300322203012"},
    {.name = "roger_report",
     .message = "K1ABC W9XYZ R-15",
     .symbols =
         "3112031120122110301113133221131131311310320102321002223231101303320000331012133002230011011122323210303"
         "2020032123003212320233210230222113102320331222100212021103332030011233102000213021313201110302320003210"},
    {.name = "rrr",
     .message = "W9XYZ K1ABC RRR",
     .symbols =
         "2221302011233221232202200332000222020001031033212113312320012030233311000103020331301122120011212101012"
         "3331121230330103033322303323331202231033002113013123130032221321100322211111100132220310201231033312301"},
    {.name = "seventy_three",
     .message = "K1ABC W9XYZ 73",
     .symbols =
         "2003120031013203210200002330000020220201231213230111332120010210231313200101022313321102100233212303212"
         "3131323012110323031302101321131022011211220333011303330012223121300322011111102110200330001213031112101"},
    {.name = "ro",
     .message = "K1ABC W9XYZ RO",
     .symbols =
         "2001120031033001210202022330020020200203231213210111312320010012231313200101002313321302100031232303232"
         "1131123032110303031322101321131022013211220313013303130012221101300302213111300110200310001213033112303"},
    {.name = "qrz_without_locator",
     .message = "QRZ K1ABC",
     .symbols =
         "2221102033011223212200200310222222002223033011032313132300210212213133220121202333303120122211232101210"
         "1333103212110321233320103321333000033213002313033123110032203303320122033131302112200112203213011310103"},
    {.name = "qrz_with_locator",
     .message = "QRZ W9XYZ EN37",
     .symbols =
         "2223122231211021232002000130202222002201011011232311110302010212233131000321222331323302122213032303210"
         "3313101032330321231120303301133020013233202313033121110032003303120102231131302132220132203213211332101"},
    {.name = "de_with_locator",
     .message = "DE K1ABC FN42",
     .symbols =
         "2221120213031201232002002132000022202023233031230311110120030230213333200103002333303120120233012301012"
         "1313323032110303033100321301113022033213002131211123130012223121122120013331100130222330001233231332323"},
    {.name = "de_without_locator",
     .message = "DE K1ABC",
     .symbols =
         "2221100011011203232200002330020222202223233031230313130320010232213133220101002333303120120231032301012"
         "1333123012110323233120123301313002233213002111013123130032223101320120013331302110220310201213031312123"},
    {.name = "cq_without_locator",
     .message = "CQ K1ABC",
     .symbols =
         "2201100031211223210200000330222220002203033011232333132300210232231133020101202333303100122211032101210"
         "1333103012130321233320123303333000213211000113033121110032003303320122013131302112220112203213031312103"},
    {.name = "calls_only",
     .message = "K1ABC W9XYZ",
     .symbols =
         "2003120031013203210200002330000220220003231211230113332320010212231111220101022313321300100231232303232"
         "1131121012112323231322103321133002013211020333013303132032221121300302213111302110200310201213031112103"},
    {.name = "digit_third_call",
     .message = "CQ VK2ABC QF56",
     .symbols =
         "2201102233031023230200200110200022022223031213232133132100010210231331000101220331123302100013212101212"
         "1331103212132323231120101303131200213211202313211101310212201323322102031113300332020132003213011332101"},
    {.name = "digit_second_call",
     .message = "CQ G4ABC IO91",
     .symbols =
         "2203100233231201230200020330220022002021033213212333110302230212211133020101220133303122120011032103212"
         "3331101032132301031100123323331000213233002113213103310212203321322302211131100332022110201213211332303"},
    {.name = "six_character_call",
     .message = "G4ABC OZ7IGY JO65",
     .symbols =
         "2223322231013023230022222130020022222223011013010133130122212012213131202323200111323122102011232303012"
         "3133301012110301013120323321311000213213222113233121132012021303320300013111322110020130201033233130121"},
    {.name = "report_lowest",
     .message = "OZ7IGY G4ABC -01",
     .symbols =
         "3132031102300312303111333203311331131312122322321220023233301123122022111010111002010033233322321212301"
         "2000030121201230120211210230200331122122311202122210023121112212213031102200213023111021132100122001212"},
    {.name = "report_highest",
     .message = "OZ7IGY G4ABC -30",
     .symbols =
         "3130031102300312303113313203331331131112122122301222003233321121122222131012111202030233233320301210301"
         "2000230121201230120211012230200331122122311222320210023121110232213031100200211023111001332100322001012"},
    {.name = "roger_report_lowest",
     .message = "OZ7IGY G4ABC R-01",
     .symbols =
         "3130031102320310303111313201311131111112122122321220023033321321122222131010131202030033233122301210321"
         "2000030101203210120231210230200311122102111222322210221101110212013011100200213003111021132120320001212"},
    {.name = "roger_report_highest",
     .message = "OZ7IGY G4ABC R-30",
     .symbols =
         "3130031102320110303113313203331131111112122320301222003233301323122220131010131002010031233122321212301"
         "2000032101203210320211212230202311122122111222122210021101112232213031102200211023111021332100120001012"},
    {.name = "report_inverted_sync_0x",
     .message = "OZ7IGY G4ABC -09",
     .symbols =
         "3132031302300310303113333203331331111312122322301220003233301323122222111010131202030033233322321210301"
         "2000032101201210120231010230200311120122111222320210223121110212013031100200213003113021132100122001212"},
    {.name = "report_inverted_sync_2x",
     .message = "OZ7IGY G4ABC -21",
     .symbols =
         "3132031302300110303111333201311131111110122122321220023233321323122022131010131002010233233320321212301"
         "0000232101203210120231010230200331122102311222122210221101110232213031300200011023113001132120322001010"},
    {.name = "report_one_digit",
     .message = "K1ABC W9XYZ -5",
     .symbols =
         "2001120231033001210000002332000020200003231213210111312120030012231111220103022313301102100233232303232"
         "3131123012112323031302101321133002011231220313013303132012223121300322011111300130200330001213031112303"},
    {.name = "roger_report_one_digit",
     .message = "K1ABC W9XYZ R-1",
     .symbols =
         "3112031120102110301311113221111131311312320100321002223031121301320200331012113202230213011120303212303"
         "2020032103001232120233210230222113100320131202302212223103330030011213100000011001311221110322320003012"},
    {.name = "locator_last_square",
     .message = "CQ K1ABC RR99",
     .symbols =
         "2201100233211021210002020130202020022203013011232333112100230230231331020303222133323300102011012103230"
         "3333103032330301233300323303131000213231200133033121310012003323322102011111100132022132203233233332303"},
    {.name = "locator_first_square",
     .message = "CQ K1ABC AA00",
     .symbols =
         "2201100031231223210000000330202220022001033211232333112302230230231333000101202333303302102011012101230"
         "3333101012130321033300321303131020213231000113031101312032003323120102211131100132220112003213233312103"},
    {.name = "call_starting_with_a_digit",
     .message = "CQ 2E0ABC IO91",
     .symbols =
         "2003122231031001210202220130220020202021011211012333130300030032211131220321222133103102100011032123212"
         "3333101232310303033300323323131000013213002313013123312212021301320102011131302332022130203233231330303"},
    {.name = "call_digit_first_second_call",
     .message = "W9XYZ 5W0ABC -12",
     .symbols =
         "3332231102102112303113131021133133331132102320123220221031323123302202311232131222230211011300123232121"
         "0222030301001010320013212232222113100102311002100010221103112230013213102000211023313223312300322201010"},
    {.name = "short_call",
     .message = "CQ N1A",
     .symbols =
         "2201122031211223230002200310200222022003033213232133130300010032231133220103202333303300102211032101212"
         "1313103212332323233120323323133200213231000133213123112232201301320102033131300112220110203233211332303"},
    {.name = "pacific_call",
     .message = "CQ KH6AB BL11",
     .symbols =
         "2203122231031001232002220130222222022221013213212113132102030230211133200321200331303120122013212323232"
         "3311303032310323231120123323133220011213002333011121110232201303320302231133100312222130201213213310103"},
    {.name = "free_text_two_words",
     .message = "HELLO WORLD",
     .symbols =
         "0223302011231203012000220130202020220021211013210113332120030030211311022321222131303100322013210321210"
         "3133303210312103231100301101333222211233200313031303310210201103320300031311300330202310021031211110301"},
    {.name = "free_text_three_words",
     .message = "TNX 73 GL",
     .symbols =
         "2203100213231223232022020110220222022021231013032331132320210210011111202121002311123102100213010121212"
         "1131123012330321211302301303133022031031002131213101330030221101120122211131102110022330021031011310303"},
    {.name = "free_text_with_de",
     .message = "TEST DE OZ7IGY",
     .symbols =
         "2221120211231201232000000312022022002021033211012331330302210230011331200303202111101102302211010101210"
         "1131301212112121231320121321333200033033002113031323130010021103300300211131102332002112023031031310103"},
    {.name = "free_text_every_punctuation",
     .message = "CQ+DX.?/-1",
     .symbols =
         "1332033300122112323131333001133311111330120100123202001233301121300222313012331222030033213300301210121"
         "0202012303221012302211030010220331300300133200322210203123132230033233100220031201333023132302120201030"},
    {.name = "free_text_slash_word",
     .message = "TNX/73 HI",
     .symbols =
         "2221120213213223212022220130020222022201233031032331310322212230011113202301022313123302122211010321212"
         "1111123212112303211100101301331022033213000111213121332030221103120322031131320110202330023031031330301"},
    {.name = "free_text_thirteen",
     .message = "FREE TEXT HERE",
     .symbols =
         "0223120011233203030022222312202002200003213031030331112300210210231111020123200113121100122011212301010"
         "1311101010310103211120123123311020231011020333013123310012223121102102233311300112220310223033233130103"},
    {.name = "free_text_longer_than_thirteen",
     .message = "ABCDEFGHIJKLMNOP",
     .symbols =
         "0201302211013221032022202332220020222021013213212133110302232230013331222303200133121100100213212323032"
         "1311301032310101033320301103133202031033020131013103132012001103322322233313300332200310003013213312323"},
    {.name = "lower_case",
     .message = "cq k1abc fn42",
     .symbols =
         "2201120233231221210002000132202020002003033011232331112100230230231333000103202333303100122213012101210"
         "1313303032130301033300321303133020013211000133231121110012003323122122013131100132222132003233231332303"},
    {.name = "extra_spaces",
     .message = "K1ABC  W9XYZ  -15",
     .symbols =
         "3110031120102312301111113221111131331312320102301002203031101101320000331012113002230211011320303210323"
         "0020232103003232320213210230222113100320331202102212221103330010011213300000011021313221110302322003012"},
    {.name = "extra_spaces_everywhere_but_in_front",
     .message = "CQ   K1ABC    FN42  ",
     .symbols =
         "2201120233231221210002000132202020002003033011232331112100230230231333000103202333303100122213012101210"
         "1313303032130301033300321303133020013211000133231121110012003323122122013131100132222132003233231332303"},
    {.name = "leading_spaces_make_free_text",
     .message = "  CQ   K1ABC    FN42  ",
     .symbols =
         "2221120031031001032022222110222000222221033233030111110102210032233131000123202133121300102031032321012"
         "1331121010332301031122121303331222213213220111213321310210223323322102231113122332022110001013031310301"},
    {.name = "tab_in_front",
     .message = "\tCQ K1ABC",
     .symbols =
         "2223102233011203010222222130200202222001033031230333110302010210231331000301222331101322122231212321032"
         "1311123010130321231302121323331022033233020131013321310030203323120322031133120312022130001233211330301"},
    {.name = "free_text_dash_late_inverts",
     .message = "VERY-3 LONG",
     .symbols =
         "2223120033031221030200002332220222022003011011210333132122010030033311222321200131101122122213012301210"
         "1311323212310103211100121301331022211231202133231101330030021103100320031113302312022332021011031330123"},
    {.name = "free_text_dash_at_nine_inverts",
     .message = "ABCDEFGH-2X",
     .symbols =
         "1312213302102310123331333223311133313330102302323220001011303301102222313212331220030213031100103232103"
         "0200210303203032320231010012222333322100131020300032023303112032031213120202013223111203110102100203032"},
    {.name = "free_text_dash_then_four",
     .message = "ABCDEFG-4",
     .symbols =
         "0201320211013203012020022330200222202221033013032133130302212030033131202301202333101322100213012321012"
         "1311101212312121231100321103131222233031020111233103332232001101120322211313300112222312001033211332321"},
    {.name = "free_text_dash_at_twelve",
     .message = "12345678901-3",
     .symbols =
         "1330231100302312103111131221131111131312322102103222203233321321120000331230313200030031011322301010123"
         "0020210323221210100033032030200331122120111202122230221301110030233231100222233201131003312320302001032"},
    {.name = "character_sent_as_space",
     .message = "K1ABC!",
     .symbols =
         "0221300213013223210222020110020220200021213013030311110302212010231331002101220313321102322211012101032"
         "1313123010312101213300321103331020033033002131213301330230201123100122231113300312002110021211031110321"},
    {.name = "short_locator_is_free_text",
     .message = "CQ K1ABC FN4",
     .symbols =
         "0003122011211203210220202312202000222003011213232111112320230030233331002301220333103322300033010301232"
         "1311101232312321213100301101331020213011222133213321330212021101122320213313120110020130021033033310101"},
    {.name = "seventy_three_first",
     .message = "73 GL",
     .symbols =
         "0021100213211203230222222110020222002021011013230311310322210030013331002121222313123102120211210121230"
         "1111123210112303233300301121331020013233020331213303330032021323100120211331320310002312001011031110321"},
    {.name = "words_after_a_standard_message",
     .message = "CQ K1ABC FN42 XYZ",
     .symbols =
         "2201120233231221210002000132202020002003033011232331112100230230231333000103202333303100122213012101210"
         "1313303032130301033300321303133020013211000133231121110012003323122122013131100132222132003233231332303"},
    {.name = "cq_test_is_free_text",
     .message = "CQ TEST K1ABC",
     .symbols =
         "0023102011211201232022202310022202022203013031212113112120210012211331002303002331301102322031230101230"
         "1313323232132123013100321103131200231013022111031301112232001123122322013313102130220112021233011310321"},
    {.name = "cq_letter_is_free_text",
     .message = "CQ A K1ABC",
     .symbols =
         "0021102211233023212002022110220200202021013031232111310322212030233331202301222331123102300233210103032"
         "1333123212132121213102101121133220211211020331213321310032021123122320211331302110022310023233211310323"},
    {.name = "single_character",
     .message = "A",
     .symbols =
         "0021102213011203212222222110220200200021211033032131310322010030233311202101020311321102120231010101230"
         "1313123010312103213100321121331022033233002133233303310232201323120320211111320310022310023013031310321"},
    {.name = "rr73_is_a_locator",
     .message = "K1ABC W9XYZ RR73",
     .symbols =
         "2003120233033201210202002132020020200001211211210111332320010012231311200301002113301302100033232303232"
         "3131123032312323233302103321331022011231020313011323132012223101102322011131300110202310201213233132301"},
    // A slash outside a standard message's calls was refused; jt4code sends
    // each of these as free text.
    {.name = "beacon_call_with_b_and_locator_is_free_text",
     .message = "PA9XYZ/B JO22",
     .symbols =
         "2001320213013223212020200130000002000001013013012333130300212232011313020123002333303100120231232301210"
         "3133101212310303213122101301311200211211020311231301330012203121300322231111322312002332023213011112301"},
    {.name = "another_beacon_call_with_b",
     .message = "OZ7IGY/B JO55",
     .symbols =
         "2203120011211023210200020332000202002023031033010311312122032210033133000301020331321302120011212321030"
         "3333123010110101211100323323311220233231220311231321110032223303322102213313320330200312223211233310323"},
    {.name = "prefixed_call_with_locator_is_free_text",
     .message = "PA/K1ABC FN42",
     .symbols =
         "2203122011233001212022022312020000200023013033232113110100030012011113220303020133103320302213232323030"
         "1111301012330101033122121321133000211231222133213121130212001303302122231113320130022312021031213110321"},
    {.name = "slash_in_plain_words_is_free_text",
     .message = "BCN 10GHZ/JO2",
     .symbols =
         "0201300031013023210002220312222000200223011211032311330320212032231113022123002111121120322011030321232"
         "3313321232112121233100321123111000033231000331233121130212221323322100013113320130020332023231211112323"},
};

class Jt4Symbols : public testing::TestWithParam<Jt4Case> {};

TEST_P(Jt4Symbols, AreJt4codes) {
    const auto encoded = encodeJt4(GetParam().message);
    ASSERT_EQ(encoded.index(), 0u) << std::get<std::string>(encoded);
    EXPECT_EQ(digits(std::get<EncodedMessage>(encoded).symbols), GetParam().symbols);
}

INSTANTIATE_TEST_SUITE_P(Table, Jt4Symbols, testing::ValuesIn(kJt4), testing_support::CaseName{});

// The same messages through jt4code itself, where it is installed.
TEST(Jt4Symbols, AreWhatJt4codePrintsNow) {
    constexpr const char* kJt4code = "/usr/bin/jt4code";
    if (!std::filesystem::exists(kJt4code)) GTEST_SKIP() << "jt4code (Debian's wsjtx) is not installed";
    for (const Jt4Case& c : kJt4) {
        std::string quoted = "'";
        for (const char* p = c.message; *p; ++p) quoted += *p == '\'' ? std::string("'\\''") : std::string(1, *p);
        const std::unique_ptr<FILE, int (*)(FILE*)> pipe(
            ::popen((std::string(kJt4code) + " " + quoted + "'").c_str(), "r"), ::pclose);
        ASSERT_TRUE(pipe);
        std::string output;
        std::array<char, 4096> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe.get())) output += buffer.data();
        const std::size_t at = output.find("Channel symbols");
        ASSERT_NE(at, std::string::npos) << c.name;
        std::string printed;
        for (char ch : output.substr(at))
            if (ch >= '0' && ch <= '3') printed += ch;
        EXPECT_EQ(printed, c.symbols) << c.name;
    }
}

TEST(Pi4Symbols, TheWorkedExample) {
    const auto encoded = encodePi4("OZ7IGY");
    ASSERT_EQ(encoded.index(), 0u);
    const EncodedMessage& m = std::get<EncodedMessage>(encoded);
    EXPECT_EQ(m.pi4Value, 2'851'949'862'724u);
    EXPECT_EQ(m.sent, "OZ7IGY  ");
    EXPECT_EQ(digits(m.symbols),
              "20100333323212120322032201100131302113312013213332123121103202001331323230200213331230030232102021001102"
              "0223322223100133013121303030122023132002"
              "11");
}

struct Pi4Case {
    const char* name;
    const char* message;
    std::string sent;
};

const Pi4Case kPi4[] = {
    {.name = "lower_case_and_padding", .message = "oz7igy", .sent = "OZ7IGY  "},
    {.name = "eight_characters", .message = "OZ7IGY/B", .sent = "OZ7IGY/B"},
    {.name = "blank_in_front_dropped", .message = "  OZ7IGY", .sent = "OZ7IGY  "},
    {.name = "inner_space_kept_once", .message = "OZ  7IGY", .sent = "OZ 7IGY "},
};

class Pi4Messages : public testing::TestWithParam<Pi4Case> {};

TEST_P(Pi4Messages, AreNormalisedAndSent) {
    const auto encoded = encodePi4(GetParam().message);
    ASSERT_EQ(encoded.index(), 0u) << std::get<std::string>(encoded);
    EXPECT_EQ(std::get<EncodedMessage>(encoded).sent, GetParam().sent);
    EXPECT_EQ(std::get<EncodedMessage>(encoded).symbols.size(), kPi4SymbolCount);
}

INSTANTIATE_TEST_SUITE_P(Table, Pi4Messages, testing::ValuesIn(kPi4), testing_support::CaseName{});

struct RefusalCase {
    const char* name;
    bool pi4;
    std::string message;
    std::string says;
};

const RefusalCase kRefusals[] = {
    {.name = "pi4_nine_characters",
     .pi4 = true,
     .message = "OZ7IGY/B1",
     .says = "PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; 'OZ7IGY/B1' has 9"},
    {.name = "pi4_a_dot",
     .pi4 = true,
     .message = "OZ7.IGY",
     .says = "PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; 'OZ7.IGY' has '.'"},
    {.name = "pi4_non_ascii",
     .pi4 = true,
     .message = "\xC3\xA4",
     .says = "PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'; '\xC3\xA4' has a character that is not "
             "printable ASCII"},
    {.name = "pi4_empty",
     .pi4 = true,
     .message = "   ",
     .says = "the message is empty: PI4 sends exactly 8 characters of 0-9, A-Z, space and '/'"},
    {.name = "jt4_empty",
     .pi4 = false,
     .message = "",
     .says = "the message is empty: JT4 sends two calls (or CQ, QRZ or DE and a call) with a locator or a report, "
             "or up to 13 characters of 0-9, A-Z, space and + - . / ?"},
    {.name = "jt4_non_ascii",
     .pi4 = false,
     .message = "CQ B\xC3\xA4KE",
     .says = "the message holds a character that is no printable ASCII: JT4 sends"},
    {.name = "jt4_suffix_call",
     .pi4 = false,
     .message = "CQ K1ABC/P",
     .says = "'CQ K1ABC/P': calls with a prefix or suffix (PA/K1ABC, K1ABC/P) in a standard message are not sent by "
             "this program; send the plain call, or free text of at most 13 characters such as 'K1ABC/P'"},
    {.name = "jt4_prefix_call",
     .pi4 = false,
     .message = "PA/K1ABC W9XYZ -15",
     .says = "'PA/K1ABC W9XYZ -15': calls with a prefix or suffix"},
    {.name = "jt4_cq_direction",
     .pi4 = false,
     .message = "CQ DX K1ABC",
     .says = "'CQ DX K1ABC': CQ with a direction or a number"},
    {.name = "jt4_cq_number", .pi4 = false, .message = "CQ 123 K1ABC", .says = "CQ with a direction or a number"},
    {.name = "jt4_report_one_past_the_lowest",
     .pi4 = false,
     .message = "K1ABC W9XYZ -31",
     .says =
         "'-31' is not a report this program sends: JT4 reports run from -01 to -30 (R-01 to R-30), or RO, RRR and 73"},
    {.name = "jt4_report_zero", .pi4 = false, .message = "K1ABC W9XYZ -00", .says = "'-00' is not a report"},
    {.name = "jt4_report_plus", .pi4 = false, .message = "K1ABC W9XYZ +05", .says = "'+05' is not a report"},
    {.name = "jt4_roger_report_one_past",
     .pi4 = false,
     .message = "K1ABC W9XYZ R-31",
     .says = "'R-31' is not a report"},
};

class MessageRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(MessageRefusals, SayWhatIsWrongAndWhatTheModeTakes) {
    const auto encoded = GetParam().pi4 ? encodePi4(GetParam().message) : encodeJt4(GetParam().message);
    ASSERT_EQ(encoded.index(), 1u);
    EXPECT_NE(std::get<std::string>(encoded).find(GetParam().says), std::string::npos)
        << std::get<std::string>(encoded);
}

INSTANTIATE_TEST_SUITE_P(Table, MessageRefusals, testing::ValuesIn(kRefusals), testing_support::CaseName{});

struct FreeTextCase {
    const char* name;
    const char* message;
    Jt4MessageKind kind;
    std::string sent;
    std::string sentAsSpaces;
    std::string truncated;
    bool inverted;
};

// What a JT4 message tells besides its symbols.
const FreeTextCase kFreeText[] = {
    {.name = "standard",
     .message = "cq k1abc fn42",
     .kind = Jt4MessageKind::Standard,
     .sent = "CQ K1ABC FN42",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = false},
    {.name = "standard_report_inverts",
     .message = "W9XYZ K1ABC -15",
     .kind = Jt4MessageKind::Standard,
     .sent = "W9XYZ K1ABC -15",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = true},
    {.name = "standard_report_from_four_on",
     .message = "W9XYZ K1ABC -05",
     .kind = Jt4MessageKind::Standard,
     .sent = "W9XYZ K1ABC -05",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = true},
    {.name = "words_after_the_third_not_sent",
     .message = "CQ K1ABC FN42 XYZ",
     .kind = Jt4MessageKind::Standard,
     .sent = "CQ K1ABC FN42",
     .sentAsSpaces = "",
     .truncated = " XYZ",
     .inverted = false},
    {.name = "characters_sent_as_spaces",
     .message = "HI! :-)",
     .kind = Jt4MessageKind::FreeText,
     .sent = "HI   - ",
     .sentAsSpaces = "!:)",
     .truncated = "",
     .inverted = false},
    {.name = "cut_at_thirteen",
     .message = "ABCDEFGHIJKLMNOP",
     .kind = Jt4MessageKind::FreeText,
     .sent = "ABCDEFGHIJKLM",
     .sentAsSpaces = "",
     .truncated = "NOP",
     .inverted = false},
    {.name = "dash_at_eight_does_not_invert",
     .message = "ABCDEFG-3",
     .kind = Jt4MessageKind::FreeText,
     .sent = "ABCDEFG-3",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = false},
    {.name = "dash_at_nine_inverts",
     .message = "ABCDEFGH-3",
     .kind = Jt4MessageKind::FreeText,
     .sent = "ABCDEFGH-3",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = true},
    {.name = "dash_then_four_does_not_invert",
     .message = "ABCDEFGH-4",
     .kind = Jt4MessageKind::FreeText,
     .sent = "ABCDEFGH-4",
     .sentAsSpaces = "",
     .truncated = "",
     .inverted = false},
};

class Jt4MessageDetails : public testing::TestWithParam<FreeTextCase> {};

TEST_P(Jt4MessageDetails, SayHowItGoesOut) {
    const auto encoded = encodeJt4(GetParam().message);
    ASSERT_EQ(encoded.index(), 0u) << std::get<std::string>(encoded);
    const EncodedMessage& m = std::get<EncodedMessage>(encoded);
    EXPECT_EQ(m.kind, GetParam().kind);
    EXPECT_EQ(m.sent, GetParam().sent);
    EXPECT_EQ(m.sentAsSpaces, GetParam().sentAsSpaces);
    EXPECT_EQ(m.truncated, GetParam().truncated);
    EXPECT_EQ(m.invertedSync, GetParam().inverted);
    EXPECT_EQ(m.symbols.size(), kJt4SymbolCount);
}

INSTANTIATE_TEST_SUITE_P(Table, Jt4MessageDetails, testing::ValuesIn(kFreeText), testing_support::CaseName{});

}  // namespace
}  // namespace jt4dds
