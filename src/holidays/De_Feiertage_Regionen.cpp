// Postal-code regions of the states and the communities with a holiday of their own.
// Held as data, so a changed boundary is a one-line edit and each table can be checked at compile time.

#include "holidays/De_Feiertage.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace De_Feiertage {

namespace {

struct TPlzRange
{
    qint32 From; // both bounds inclusive
    qint32 To;
};

template <std::size_t N> constexpr bool InRanges(const TPlzRange (&Ranges)[N], qint32 PLZ)
{
    return std::any_of(std::begin(Ranges), std::end(Ranges),
                       [PLZ](const TPlzRange &R) { return R.From <= PLZ && PLZ <= R.To; });
}

template <std::size_t N> constexpr bool InCodes(const qint32 (&Codes)[N], qint32 PLZ)
{
    return std::binary_search(std::begin(Codes), std::end(Codes), PLZ);
}

// States, each a list of code ranges in ascending order of their lower bound; ranges may touch or repeat.

constexpr TPlzRange kBadenWuerttemberg[] = {
    {63928, 63928}, {64754, 64754}, {68001, 68312}, {68520, 68549}, {68701, 69234}, {69240, 69429},
    {69434, 69434}, {69435, 69469}, {69489, 69502}, {69510, 69514}, {70001, 74592}, {74594, 76709},
    {77601, 79879}, {88001, 88099}, {88147, 88147}, {88181, 89079}, {89081, 89085}, {89090, 89198},
    {89501, 89619}, {97861, 97877}, {97893, 97896}, {97897, 97900}, {97911, 97999}};

constexpr TPlzRange kBayern[] = {{63701, 63774}, {63776, 63928}, {63930, 63939}, {74594, 74594}, {80001, 87490},
                                 {87493, 87561}, {87571, 87789}, {88101, 88146}, {88147, 88179}, {89081, 89081},
                                 {89087, 89087}, {89201, 89449}, {90001, 96489}, {97001, 97859}, {97888, 97892},
                                 {97896, 97896}, {97901, 97909}};

constexpr TPlzRange kBerlin[] = {{10001, 14330}};

constexpr TPlzRange kBrandenburg[] = {{1941, 1998},   {3001, 3253},   {4891, 4938},   {14401, 14715}, {14723, 16949},
                                      {17258, 17258}, {17261, 17291}, {17309, 17309}, {17321, 17321}, {17326, 17326},
                                      {17335, 17335}, {17337, 17337}, {19307, 19357}};

constexpr TPlzRange kBremen[] = {{27501, 27580}, {28001, 28779}};

constexpr TPlzRange kHamburg[] = {{20001, 21037}, {21039, 21170}, {22001, 22113}, {22115, 22143},
                                  {22145, 22145}, {22147, 22786}, {27499, 27499}};

constexpr TPlzRange kHessen[] = {{34001, 34329}, {34355, 34355}, {34356, 34399}, {34441, 36399}, {37194, 37195},
                                 {37201, 37299}, {55240, 55252}, {59969, 59969}, {60001, 63699}, {63776, 63776},
                                 {64201, 64753}, {64754, 65326}, {65327, 65391}, {65392, 65556}, {65583, 65620},
                                 {65627, 65627}, {65701, 65936}, {68501, 68519}, {68601, 68649}, {69235, 69239},
                                 {69430, 69431}, {69434, 69434}, {69479, 69488}, {69503, 69509}, {69515, 69518}};

constexpr TPlzRange kMecklenburgVorpommern[] = {{17001, 17256}, {17258, 17259}, {17301, 17309}, {17309, 17321},
                                                {17321, 17322}, {17328, 17331}, {17335, 17335}, {17337, 19260},
                                                {19273, 19273}, {19273, 19306}, {19357, 19417}, {23921, 23999}};

constexpr TPlzRange kNiedersachsen[] = {{19271, 19273}, {21202, 21449}, {21522, 21522}, {21601, 21789}, {26001, 27478},
                                        {27607, 27809}, {28784, 29399}, {29431, 31868}, {34331, 34353}, {34355, 34355},
                                        {37001, 37194}, {37197, 37199}, {37401, 37649}, {37689, 37691}, {37697, 38479},
                                        {38501, 38729}, {48442, 48465}, {48478, 48480}, {48486, 48488}, {48497, 48531},
                                        {49001, 49459}, {49551, 49849}};

constexpr TPlzRange kNordrheinWestfalen[] = {
    {32001, 33829}, {34401, 34439}, {37651, 37688}, {37692, 37696}, {40001, 48432}, {48466, 48477},
    {48481, 48485}, {48489, 48496}, {48541, 48739}, {49461, 49549}, {50101, 51597}, {51601, 53359},
    {53581, 53604}, {53621, 53949}, {57001, 57489}, {58001, 59966}, {59969, 59969}};

constexpr TPlzRange kRheinlandPfalz[] = {{51598, 51598}, {53401, 53579}, {53614, 53619}, {54181, 55239}, {55253, 56869},
                                         {57501, 57648}, {65326, 65326}, {65391, 65391}, {65558, 65582}, {65621, 65626},
                                         {65629, 65629}, {66461, 66509}, {66841, 67829}, {76711, 76891}};

constexpr TPlzRange kSaarland[] = {{66001, 66459}, {66511, 66839}};

constexpr TPlzRange kSachsen[] = {{1001, 1936}, {2601, 2999}, {4001, 4579}, {4641, 4889}, {7919, 7919}, {7919, 7919},
                                  {7951, 7951}, {7952, 7952}, {7982, 7982}, {7985, 7985}, {8001, 9669}};

constexpr TPlzRange kSachsenAnhalt[] = {{6001, 6548},   {6601, 6928},   {14715, 14715},
                                        {29401, 29416}, {38481, 38489}, {38801, 39649}};

constexpr TPlzRange kSchleswigHolstein[] = {{21039, 21039}, {21451, 21521}, {21524, 21529},
                                            {22113, 22113}, {22145, 22145}, {22145, 22145},
                                            {22801, 23919}, {24001, 25999}, {27483, 27498}};

constexpr TPlzRange kThueringen[] = {{4581, 4639},   {6551, 6578},   {7301, 7919},  {7919, 7919}, {7920, 7950},
                                     {7952, 7952},   {7953, 7980},   {7985, 7985},  {7985, 7989}, {36401, 36469},
                                     {37301, 37359}, {96501, 96529}, {98501, 99998}};

// Communities, each a sorted list of single codes.
// Bavarian codes where "Mariä Himmelfahrt" is no holiday; everywhere else in Bayern it is.
constexpr qint32 kOhneMariaeHimmelfahrt[] = {
    86655, 86720, 86732, 86733, 86735, 86736, 86738, 86739, 86745, 86751, 86753, 86759, 87761, 87766, 87789, 89431,
    90403, 90513, 90518, 90522, 90530, 90537, 90542, 90547, 90552, 90556, 90559, 90562, 90571, 90574, 90579, 90587,
    90592, 90596, 90599, 90607, 90610, 90613, 90614, 90616, 90617, 90619, 90762, 91052, 91054, 91080, 91083, 91085,
    91086, 91096, 91097, 91126, 91154, 91166, 91177, 91186, 91189, 91207, 91217, 91224, 91227, 91230, 91235, 91236,
    91238, 91239, 91241, 91242, 91244, 91247, 91249, 91282, 91287, 91289, 91322, 91338, 91346, 91349, 91355, 91413,
    91438, 91448, 91452, 91456, 91459, 91460, 91462, 91463, 91465, 91466, 91468, 91469, 91471, 91472, 91474, 91475,
    91478, 91480, 91481, 91484, 91486, 91487, 91489, 91522, 91541, 91550, 91555, 91560, 91564, 91572, 91575, 91578,
    91580, 91583, 91586, 91587, 91590, 91592, 91593, 91596, 91598, 91599, 91601, 91604, 91605, 91607, 91608, 91610,
    91611, 91613, 91614, 91616, 91617, 91619, 91620, 91622, 91623, 91625, 91626, 91628, 91629, 91631, 91632, 91635,
    91637, 91710, 91717, 91719, 91720, 91723, 91725, 91726, 91729, 91731, 91732, 91735, 91738, 91740, 91741, 91743,
    91744, 91746, 91747, 91749, 91757, 91781, 91788, 91790, 91793, 91796, 91798, 91799, 91801, 91802, 91805, 91807,
    92259, 92262, 92265, 92268, 92275, 92278, 92281, 95028, 95100, 95111, 95119, 95126, 95131, 95138, 95145, 95152,
    95158, 95163, 95168, 95173, 95176, 95179, 95180, 95182, 95183, 95185, 95186, 95188, 95189, 95191, 95192, 95194,
    95195, 95197, 95199, 95213, 95233, 95234, 95236, 95237, 95239, 95326, 95336, 95339, 95349, 95356, 95358, 95359,
    95361, 95365, 95367, 95369, 95444, 95460, 95463, 95466, 95469, 95473, 95482, 95485, 95488, 95490, 95493, 95494,
    95496, 95497, 95499, 95500, 95502, 95503, 95511, 95512, 95514, 95517, 95615, 95632, 95659, 95680, 95691, 95706,
    95707, 95709, 96126, 96152, 96172, 96184, 96190, 96197, 96237, 96242, 96247, 96253, 96257, 96268, 96269, 96271,
    96274, 96277, 96279, 96328, 96337, 96355, 96364, 96369, 96450, 96465, 96472, 96476, 96479, 96482, 96484, 96486,
    96487, 96489, 97215, 97234, 97237, 97258, 97280, 97286, 97292, 97318, 97320, 97340, 97342, 97348, 97350, 97355,
    97486, 97525, 97526, 97633, 97645, 97647, 97779, 97785, 97799, 97846, 97907};

constexpr qint32 kFronleichnamThueringen[] = {36419, 36452, 37308, 37318, 37327, 37339,
                                              37345, 37351, 37355, 37359, 99988};

constexpr qint32 kFronleichnamSachsen[] = {1906, 1920, 2627, 2694, 2699, 2997};

constexpr qint32 kAugsburg[] = {86150, 86152, 86153, 86154, 86156, 86157, 86159,
                                86161, 86163, 86165, 86167, 86169, 86179, 86199};

// Binary search needs sorted lists, and every community must lie in its state, or its holiday would never show.
template <std::size_t N> constexpr bool IsSorted(const qint32 (&Codes)[N])
{
    return std::is_sorted(std::begin(Codes), std::end(Codes));
}

template <std::size_t N, std::size_t M> constexpr bool AllInside(const qint32 (&Codes)[N], const TPlzRange (&State)[M])
{
    return std::all_of(std::begin(Codes), std::end(Codes), [&State](qint32 PLZ) { return InRanges(State, PLZ); });
}

static_assert(IsSorted(kOhneMariaeHimmelfahrt) && AllInside(kOhneMariaeHimmelfahrt, kBayern));
static_assert(IsSorted(kFronleichnamThueringen) && AllInside(kFronleichnamThueringen, kThueringen));
static_assert(IsSorted(kFronleichnamSachsen) && AllInside(kFronleichnamSachsen, kSachsen));
static_assert(IsSorted(kAugsburg) && AllInside(kAugsburg, kBayern));

} // namespace

bool IstBadenWuerttemberg(qint32 PLZ)
{
    return InRanges(kBadenWuerttemberg, PLZ);
}

bool IstBayern(qint32 PLZ)
{
    return InRanges(kBayern, PLZ);
}

bool IstBerlin(qint32 PLZ)
{
    return InRanges(kBerlin, PLZ);
}

bool IstBrandenburg(qint32 PLZ)
{
    return InRanges(kBrandenburg, PLZ);
}

bool IstBremen(qint32 PLZ)
{
    return InRanges(kBremen, PLZ);
}

bool IstHamburg(qint32 PLZ)
{
    return InRanges(kHamburg, PLZ);
}

bool IstHessen(qint32 PLZ)
{
    return InRanges(kHessen, PLZ);
}

bool IstMecklenburgVorpommern(qint32 PLZ)
{
    return InRanges(kMecklenburgVorpommern, PLZ);
}

bool IstNiedersachsen(qint32 PLZ)
{
    return InRanges(kNiedersachsen, PLZ);
}

bool IstNordrheinWestfalen(qint32 PLZ)
{
    return InRanges(kNordrheinWestfalen, PLZ);
}

bool IstRheinlandPfalz(qint32 PLZ)
{
    return InRanges(kRheinlandPfalz, PLZ);
}

bool IstSaarland(qint32 PLZ)
{
    return InRanges(kSaarland, PLZ);
}

bool IstSachsen(qint32 PLZ)
{
    return InRanges(kSachsen, PLZ);
}

bool IstSachsenAnhalt(qint32 PLZ)
{
    return InRanges(kSachsenAnhalt, PLZ);
}

bool IstSchleswigHolstein(qint32 PLZ)
{
    return InRanges(kSchleswigHolstein, PLZ);
}

bool IstThueringen(qint32 PLZ)
{
    return InRanges(kThueringen, PLZ);
}

bool MariaeHimmelfahrtGilt(qint32 PLZ)
{
    return !InCodes(kOhneMariaeHimmelfahrt, PLZ);
}

bool IstFronleichnamThueringen(qint32 PLZ)
{
    return InCodes(kFronleichnamThueringen, PLZ);
}

bool IstFronleichnamSachsen(qint32 PLZ)
{
    return InCodes(kFronleichnamSachsen, PLZ);
}

bool IstAugsburg(qint32 PLZ)
{
    return InCodes(kAugsburg, PLZ);
}

} // namespace De_Feiertage
