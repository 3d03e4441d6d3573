// The question bank: the shape of every table, the rows known to the letter, the option
// sets that records share, the compile-time checks, and ShowQuestion.

#include "Harness.h"
#include "bank/Checks.h"
#include "bank/Levels.h"
#include "bank/ShowQuestion.h"
#include "runtime/Controls.h"

#include <QLabel>

using bank::Question;

namespace {

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

struct Known {
    int level, number;
    const char16_t* question;
    const char16_t* options[4];
    int answer;
};

// Rows as the player must see them, blanks included.
const Known KnownRows[] = {
    {1, 1, u"MAHATMA GANDHI WAS POPULARLY KNOWN AS", {u"BAPU", u"ANNA", u"FRONTIER GANDHI", u"CHACHA"}, 1},
    {1, 2, u"JAWAHARLAL NEHRU WAS POPULARLY KNOWN AS", {u"BAPU", u"ANNA", u"FRONTIER GANDHI", u"CHACHA"}, 4},
    {1, 6, u"TELUGU AND URDU ARE THE PRINCIPAL LANGUAGES OF", {u"TAMIL NADU", u"ANDHRA PRADESH", u"KARNATAKA", u"KERALA"}, 2},
    {1, 37, u"SRIHARIKOTA IS WELL-KNOWN FOR", {u"ROCKET LAUNCHING", u"SATELLITE LAUNCHING", u"ALL OF THE ABOVE", u"NONE OF THE ABOVE"}, 3},
    {1, 59, u"CHINESH ATTACKED INDIA IN", {u" 1959", u" 1960", u" 196 1", u" 1962"}, 4},
    {1, 158, u"THE FIRST ATOMIC POWER STATION IN INDIA IS", {u"TARAPORE NEAR MUMBAI", u"KALPAKKAM NEAR CHENNAI", u"******", u"******"}, 1},
    {1, 198, u"INSTITUTE OF ARMAMENT STUDIES AND METEOROLOGICAL OBSERVATORY  ARE LOCATED", {u"KIRKEE (PUNE)", u"MUMBAI", u"CALCUTTA", u"CHENNAI"}, 1},
    {2, 1, u"THE BIRTH PLACE OF LORD KRISHNA IS", {u"MATHURA (UTTAR PRADESH)", u"KASI (UTTAR PRADESH)", u"AYODHYA (UTTAR PRADESH)", u"NONE OF THE ABOVE"}, 1},
    {2, 13, u"OFFICIAL RESIDENCE OF THE PRESIDENT OF INDIA IS", {u"SOUTH BLOCK", u"NORTH BLOCK", u"VIGYAN BHAWAN", u"RASHTRAPATI BHAWAN "}, 4},
    {2, 26, u"POPULATION OF ANDRA PRADESH AS PER  1991 CENSUS IS", {u"6,65,08,008", u"8,64,558", u"2,24, 14,322", u"8,63,74,465"}, 1},
    {2, 73, u"AKBAR'S TOMB IS SITUATED IN", {u"SIKANDRA", u"KASHMIR", u"JAIPUR", u"ALLAHABAD"}, 1},
    {2, 106, u"AYODHYA IS LOCATED ON THE BANK OF RIVER", {u"GANGES", u"SARAYU", u"JAMUNA", u"HOOGLY"}, 2},
    {2, 127, u"BHARAT RATNA AWARD FOR  1991 WAS POSTHUMOUSLY AWARDED TO", {u"LAL BAHADUR SHASTRI", u"K.KAMARAJ", u"ACHARYA VINOBA BHAVE", u"RAJIV GANDHI"}, 4},
    {2, 128, u"BHARAT RATNA AWARD FOR  1991 WAS POSTHUMOUSLY AWARDED TO", {u"LAL BAHADUR SHASTRI", u"SARDAR V.B.PATEL", u"ACHARYA VINOBA BHAVE", u"M.G.RAMACHANDRAN"}, 2},
    {3, 7, u"LORD MOUNTBATTEN IS", {u"TRAVELLOR", u"PRESIDENT OF INDIA", u"BRITISH ARMY COMMANDER", u"NONE OF THE ABOVE"}, 4},
    {3, 10, u"THE FIRST EMPEROR OF MOGHUL DYNASTY IN INDIA IS", {u"AKBAR", u"BABAR", u"ALADIN KILJI", u"NONE  OF THE ABOVE"}, 2},
    {3, 117, u"THE RULER WHO WAS FIRST TO PROHIBIT SATI", {u"AKBAR", u"BABAR", u"RAJARAJA CHOLA", u"PULIKESI"}, 1},
    {3, 130, u"THE BOOK FREEDOM AT MIDNIGHT WAS WRITTEN BY", {u"INDIRA GANDHI", u"MAHATMA GANDHI", u"LARRY COLLINS AND DOMINIQUE LAPPIERRE", u"LAL BAHADHUR SHASTRI"}, 3},
    {3, 142, u"BHAGAT BELONGS TO HINDUSTAN SOCIALIST REPUBLICAN ASSOCIATION", {u"YES", u"NO", u"****", u"****"}, 1},
    {3, 182, u"NATIONAL BOTANICAL GARDEN IS LOCATED AT", {u"LUCKNOW", u"MUMBAI", u"CALCUTTA", u"DELHI"}, 1},
    {4, 21, u"GAUTAMA BUDDHA IS THE FOUNDER OF BUDDHISM", {u"YES", u"NO", u"MAY BE", u"CANNOT BE"}, 1},
    {4, 27, u"NARENDRANATH IS THE REAL NAME OF SWAMY VIVEKANANDA", {u"YES", u"NO", u"*****", u"*****"}, 1},
    {4, 84, u"NAME OF THE AWARD GIVEN TO THE SUNIL GAVASKAR BY INDIAN GOVERNMENT", {u"PADMA BHUSHAN", u"PADMA SHRI", u"****", u"****"}, 1},
    {4, 174, u"BANDEL THERMAL POWER STATION IS LOCATED IN", {u"WEST BENGAL", u"MADHYA PRADESH", u"TAMIL NADU", u"KERALA"}, 1},
    {4, 180, u"AREA OF MAHARASHTRA IS", {u"3,07,7 13 Sq.Km", u"22,327   Sq.Km", u"22,429   Sq.Km", u"2 1,08 1   Sq.Km"}, 1},
    {5, 33, u"ALL INDIA INSTITUTE OF MEDICAL SCIENCE IS LOCATED AT", {u"NEW DELHI", u"MYSORE", u"CALCUTTA", u"CHENNAI"}, 1},
    {5, 70, u"NATIONAL BOTANICAL GARDEN IS LOCATED AT", {u"BHAVA NAGAR", u"LUCKNOW", u"PUNE", u"CHENNAI"}, 2},
    {5, 88, u"ATOMIC ENERGY COMMISION IS LOCATED AT", {u"MUMBAI", u"CALCUTTA", u"MUMBAI", u"CHENNAI"}, 1},
    {5, 159, u"CHANDIGARH IS THE CAPITAL OF", {u"CHANDIGARH", u"PUNJAB", u"HARYANA", u"ALL OF THE ABOVE"}, 4},
    {5, 183, u"POPULATION OF INDIA AS PER  199 1 CENSUS", {u"84,63,02,688", u"64,63,02,688", u"74,63,02,688", u"94,63,02,688"}, 1},
    {5, 194, u"AREA OF GOA IS", {u"3,702    Sq.Km", u" 1,96,024 Sq.Km", u"44,2 12   Sq.Km", u"55,673   Sq.KM"}, 1},
    {5, 200, u"AREA OF KERALA IS", {u"2,22,236 Sq.Km", u" 1,9 1,79 1 Sq.Km", u"38,863   Sq.Km", u"4,43,446 Sq.Km"}, 3},
};

const Question& Record(int level, int number) { return bank::LevelTable(level)[static_cast<std::size_t>(number - 1)]; }

// Stand-alone display slots: the bank works without a level window.
struct Slots {
    runtime::TextBox text;
    QLabel option[4];
    bank::QuestionSlots For(int level) {
        return {bank::LevelTable(level), &text, &option[0], &option[1], &option[2], &option[3]};
    }
    QStringList Shown() const {
        return {text.text(), option[0].text(), option[1].text(), option[2].text(), option[3].text()};
    }
};

}  // namespace

class BankTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::PrepareSuite(); }
    void init() { harness::ResetProgram(); }

    void everyTableIsComplete() {
        for (int level = 1; level <= 5; ++level) {
            const auto& table = bank::LevelTable(level);
            QCOMPARE(table.size(), std::size_t{200});
            for (const Question& q : table) {
                QVERIFY(!q.QuestionText.empty());
                for (int n = 1; n <= 4; ++n) QVERIFY(!q.OptionText(n).empty());
                QVERIFY(q.AnswerNumber >= 1 && q.AnswerNumber <= 4);
                QVERIFY(bank::IsWellFormed(q));
            }
        }
        QVERIFY(&bank::LevelTable(1) != &bank::LevelTable(2));
    }

    void knownRowsStandToTheLetter() {
        for (const Known& k : KnownRows) {
            const Question& q = Record(k.level, k.number);
            const QString where = QStringLiteral("level %1 number %2").arg(k.level).arg(k.number);
            QVERIFY2(Q(q.QuestionText) == QString::fromUtf16(k.question), qPrintable(where));
            for (int n = 1; n <= 4; ++n)
                QVERIFY2(Q(q.OptionText(n)) == QString::fromUtf16(k.options[n - 1]), qPrintable(where));
            QVERIFY2(q.AnswerNumber == k.answer, qPrintable(where));
        }
    }

    void repeatedQuestionsKeepTheirOwnRecords() {
        // The same question with another option set and another answer.
        QCOMPARE(Q(Record(1, 7).QuestionText), QStringLiteral("MALAYALAM IS THE PRINCIPAL LANGUAGE OF"));
        QCOMPARE(Record(1, 29).QuestionText, Record(1, 7).QuestionText);
        QCOMPARE(int(Record(1, 7).AnswerNumber), 4);
        QCOMPARE(int(Record(1, 29).AnswerNumber), 3);
        QVERIFY(!(Record(1, 7).OptionText == Record(1, 29).OptionText));
    }

    void checksRejectWhatTheBankMustNotHold() {
        const bank::OptionSet ok{u"A", u"B", u"C", u"D"};
        QVERIFY(bank::IsWellFormed(Question{u"AREA OF GOA IS", {u"3,702    Sq.Km", u"Dr. X", u"Smt. Y", u"2nd"}, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"WHO IS IT?", ok, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"Who IS IT", ok, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"", ok, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"A", {u"A", u"", u"C", u"D"}, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"A", ok, 0}));
        QVERIFY(!bank::IsWellFormed(Question{u"A", ok, 5}));
        QVERIFY(!bank::IsWellFormed(Question{u"A\tB", ok, 1}));
        QVERIFY(!bank::IsWellFormed(Question{u"A", {u"YES", u"NO", u"****", u"****"}, 3}));
        QVERIFY(!bank::IsWellFormed(Question{u"A", {u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKL", u"B", u"C", u"D"}, 1}));
        QVERIFY(bank::IsWellFormed(Question{u"A", {u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJK", u"B", u"C", u"D"}, 1}));
    }

    void showQuestionWritesTheRecordAsStored() {
        Slots view;
        bank::ShowQuestion(view.For(5), 200);
        QCOMPARE(view.Shown(), QStringList({"AREA OF KERALA IS", "2,22,236 Sq.Km", " 1,9 1,79 1 Sq.Km",
                                             "38,863   Sq.Km", "4,43,446 Sq.Km"}));
        QCOMPARE(CorrectOption.value(), 3);
        bank::ShowQuestion(view.For(2), 1);
        QCOMPARE(view.Shown()[0], QStringLiteral("THE BIRTH PLACE OF LORD KRISHNA IS"));
        QCOMPARE(CorrectOption.value(), 1);
        bank::ShowQuestion(view.For(1), 2);
        QCOMPARE(view.Shown(), QStringList({"JAWAHARLAL NEHRU WAS POPULARLY KNOWN AS", "BAPU", "ANNA",
                                             "FRONTIER GANDHI", "CHACHA"}));
        QCOMPARE(CorrectOption.value(), 4);
        // Showing the same number again gives the same.
        const QStringList before = view.Shown();
        bank::ShowQuestion(view.For(1), 2);
        QCOMPARE(view.Shown(), before);
    }

    void numbersOutsideTheTableChangeNothing() {
        Slots view;
        bank::ShowQuestion(view.For(3), 10);
        const QStringList before = view.Shown();
        const int correct = CorrectOption.value();
        for (int n : {0, 201, 255, -1, 32767}) {
            bank::ShowQuestion(view.For(3), n);
            QCOMPARE(view.Shown(), before);
            QCOMPARE(CorrectOption.value(), correct);
        }
    }

    void everyRecordOfEveryLevelShows() {
        Slots view;
        for (int level = 1; level <= 5; ++level) {
            for (int n = 1; n <= 200; ++n) {
                bank::ShowQuestion(view.For(level), n);
                QCOMPARE(view.Shown()[0], Q(Record(level, n).QuestionText));
                QCOMPARE(view.Shown()[4], Q(Record(level, n).OptionText(4)));
                QCOMPARE(CorrectOption.value(), int(Record(level, n).AnswerNumber));
            }
        }
    }

    void noSuchLevelIsAnError() {
        QCOMPARE(harness::RaisedBy([] { (void)bank::LevelTable(6); }), runtime::ErrorCode::SubscriptOutOfRange);
        QCOMPARE(harness::RaisedBy([] { (void)bank::LevelTable(0); }), runtime::ErrorCode::SubscriptOutOfRange);
    }

    void longTextsShowFromTheirStart() {
        // The longest question fits its box; a text box shows a long text from its first character.
        Slots view;
        view.text.resize(625, 19);
        bank::ShowQuestion(view.For(1), 198);
        QCOMPARE(view.text.cursorPosition(), 0);
    }
};

QTEST_MAIN(BankTest)
#include "test_bank.moc"
