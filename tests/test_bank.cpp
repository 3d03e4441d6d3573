// The question bank: each level's figures computed from its table, the rows known to the letter, where
// special options and repeated questions stand, what the bank must not hold, ShowQuestion, the export.

#include "Harness.h"
#include "bank/Checks.h"
#include "bank/Figures.h"
#include "bank/Levels.h"
#include "bank/ShowQuestion.h"
#include "runtime/Controls.h"

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <map>
#include <set>

using bank::Question;

namespace {

using bank::Text;

const Question& Record(int level, int number) { return bank::LevelTable(level)[static_cast<std::size_t>(number - 1)]; }

QString Where(int level, int number) { return QStringLiteral("level %1 number %2").arg(level).arg(number); }

// A record as one line: question, options 1 to 4 and answer, tab-separated.
QString Row(const Question& q) {
    return QStringList{Text(q.QuestionText), Text(q.OptionText(1)), Text(q.OptionText(2)), Text(q.OptionText(3)),
                       Text(q.OptionText(4)), QString::number(q.AnswerNumber)}
        .join('\t');
}

// The figures of a level in the order of the table below.
QList<int> Counted(const bank::Figures& f) {
    return {f.questionShortest, f.questionLongest, f.optionShortest, f.optionLongest, f.answers[0], f.answers[1],
            f.answers[2], f.answers[3], f.distinctOptionSets, f.sharedRecords, f.runs, f.runRecords,
            f.noneOfTheAbove, f.noneCorrect, f.allOfTheAbove, f.allCorrect, f.yesNo};
}

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

    void eachLevelHasItsFigures_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<int>>("expected");
        // question shortest, longest; option shortest, longest; answers 1 to 4; distinct option
        // sets, shared records, runs, run records; none of the above, correct; all of the above,
        // correct; yes/no
        QTest::newRow("1") << 1 << QList<int>{11, 73, 1, 31, 88, 40, 41, 31, 175, 37, 12, 33, 14, 0, 2, 2, 0};
        QTest::newRow("2") << 2 << QList<int>{12, 71, 3, 28, 68, 41, 44, 47, 154, 65, 15, 47, 15, 0, 1, 0, 0};
        QTest::newRow("3") << 3 << QList<int>{16, 69, 2, 37, 109, 34, 35, 22, 187, 22, 7, 18, 36, 2, 2, 1, 1};
        QTest::newRow("4") << 4 << QList<int>{15, 70, 2, 29, 97, 37, 45, 21, 177, 36, 7, 18, 18, 0, 1, 1, 9};
        QTest::newRow("5") << 5 << QList<int>{14, 71, 2, 35, 98, 39, 29, 34, 136, 85, 18, 52, 3, 0, 2, 1, 2};
    }
    void eachLevelHasItsFigures() {
        QFETCH(int, level);
        QFETCH(QList<int>, expected);
        QCOMPARE(bank::LevelTable(level).size(), std::size_t{200});
        QCOMPARE(Counted(bank::FiguresOf(bank::LevelTable(level))), expected);
        for (int n = 1; n <= 200; ++n) QVERIFY2(bank::IsWellFormed(Record(level, n)), qPrintable(Where(level, n)));
    }

    void theWholeBankHasItsFigures() {
        bank::Figures all = bank::FiguresOf(bank::LevelTable(1));
        for (int level = 2; level <= bank::LevelCount; ++level) all += bank::FiguresOf(bank::LevelTable(level));
        QCOMPARE(all.answers, (std::array<int, 4>{460, 191, 194, 155}));
        QCOMPARE(all.digitOnes, 497);
        QCOMPARE(all.onesAfterBlank, 448);
        QCOMPARE(qRound(all.questionCharacters / 1000.0), 38);
        QCOMPARE(qRound(all.optionCharacters / 4000.0), 10);
        // Level 5 asks where 114 things are located, once misspelt, once with a trailing blank.
        const QRegularExpression located("IS (LOCATED AT ?|LOACTED AT)$");
        int count = 0;
        for (int n = 1; n <= 200; ++n) count += located.match(Text(Record(5, n).QuestionText)).hasMatch();
        QCOMPARE(count, 114);
    }

    void knownRowsStandToTheLetter_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("row");
        auto row = [](int level, int number, QStringList texts, int answer) {
            texts << QString::number(answer);
            QTest::addRow("%d/%d", level, number) << level << number << texts.join('\t');
        };
        row(1, 1, {"MAHATMA GANDHI WAS POPULARLY KNOWN AS", "BAPU", "ANNA", "FRONTIER GANDHI", "CHACHA"}, 1);
        row(1, 2, {"JAWAHARLAL NEHRU WAS POPULARLY KNOWN AS", "BAPU", "ANNA", "FRONTIER GANDHI", "CHACHA"}, 4);
        row(1, 6, {"TELUGU AND URDU ARE THE PRINCIPAL LANGUAGES OF", "TAMIL NADU", "ANDHRA PRADESH", "KARNATAKA", "KERALA"}, 2);
        row(1, 37, {"SRIHARIKOTA IS WELL-KNOWN FOR", "ROCKET LAUNCHING", "SATELLITE LAUNCHING", "ALL OF THE ABOVE", "NONE OF THE ABOVE"}, 3);
        row(1, 59, {"CHINESH ATTACKED INDIA IN", " 1959", " 1960", " 196 1", " 1962"}, 4);
        row(1, 158, {"THE FIRST ATOMIC POWER STATION IN INDIA IS", "TARAPORE NEAR MUMBAI", "KALPAKKAM NEAR CHENNAI", "******", "******"}, 1);
        row(1, 198, {"INSTITUTE OF ARMAMENT STUDIES AND METEOROLOGICAL OBSERVATORY  ARE LOCATED", "KIRKEE (PUNE)", "MUMBAI", "CALCUTTA", "CHENNAI"}, 1);
        row(2, 1, {"THE BIRTH PLACE OF LORD KRISHNA IS", "MATHURA (UTTAR PRADESH)", "KASI (UTTAR PRADESH)", "AYODHYA (UTTAR PRADESH)", "NONE OF THE ABOVE"}, 1);
        row(2, 13, {"OFFICIAL RESIDENCE OF THE PRESIDENT OF INDIA IS", "SOUTH BLOCK", "NORTH BLOCK", "VIGYAN BHAWAN", "RASHTRAPATI BHAWAN "}, 4);
        row(2, 26, {"POPULATION OF ANDRA PRADESH AS PER  1991 CENSUS IS", "6,65,08,008", "8,64,558", "2,24, 14,322", "8,63,74,465"}, 1);
        row(2, 73, {"AKBAR'S TOMB IS SITUATED IN", "SIKANDRA", "KASHMIR", "JAIPUR", "ALLAHABAD"}, 1);
        row(2, 106, {"AYODHYA IS LOCATED ON THE BANK OF RIVER", "GANGES", "SARAYU", "JAMUNA", "HOOGLY"}, 2);
        row(2, 127, {"BHARAT RATNA AWARD FOR  1991 WAS POSTHUMOUSLY AWARDED TO", "LAL BAHADUR SHASTRI", "K.KAMARAJ", "ACHARYA VINOBA BHAVE", "RAJIV GANDHI"}, 4);
        row(2, 128, {"BHARAT RATNA AWARD FOR  1991 WAS POSTHUMOUSLY AWARDED TO", "LAL BAHADUR SHASTRI", "SARDAR V.B.PATEL", "ACHARYA VINOBA BHAVE", "M.G.RAMACHANDRAN"}, 2);
        row(3, 7, {"LORD MOUNTBATTEN IS", "TRAVELLOR", "PRESIDENT OF INDIA", "BRITISH ARMY COMMANDER", "NONE OF THE ABOVE"}, 4);
        row(3, 10, {"THE FIRST EMPEROR OF MOGHUL DYNASTY IN INDIA IS", "AKBAR", "BABAR", "ALADIN KILJI", "NONE  OF THE ABOVE"}, 2);
        row(3, 117, {"THE RULER WHO WAS FIRST TO PROHIBIT SATI", "AKBAR", "BABAR", "RAJARAJA CHOLA", "PULIKESI"}, 1);
        row(3, 130, {"THE BOOK FREEDOM AT MIDNIGHT WAS WRITTEN BY", "INDIRA GANDHI", "MAHATMA GANDHI", "LARRY COLLINS AND DOMINIQUE LAPPIERRE", "LAL BAHADHUR SHASTRI"}, 3);
        row(3, 142, {"BHAGAT BELONGS TO HINDUSTAN SOCIALIST REPUBLICAN ASSOCIATION", "YES", "NO", "****", "****"}, 1);
        row(3, 182, {"NATIONAL BOTANICAL GARDEN IS LOCATED AT", "LUCKNOW", "MUMBAI", "CALCUTTA", "DELHI"}, 1);
        row(4, 21, {"GAUTAMA BUDDHA IS THE FOUNDER OF BUDDHISM", "YES", "NO", "MAY BE", "CANNOT BE"}, 1);
        row(4, 27, {"NARENDRANATH IS THE REAL NAME OF SWAMY VIVEKANANDA", "YES", "NO", "*****", "*****"}, 1);
        row(4, 84, {"NAME OF THE AWARD GIVEN TO THE SUNIL GAVASKAR BY INDIAN GOVERNMENT", "PADMA BHUSHAN", "PADMA SHRI", "****", "****"}, 1);
        row(4, 174, {"BANDEL THERMAL POWER STATION IS LOCATED IN", "WEST BENGAL", "MADHYA PRADESH", "TAMIL NADU", "KERALA"}, 1);
        row(4, 180, {"AREA OF MAHARASHTRA IS", "3,07,7 13 Sq.Km", "22,327   Sq.Km", "22,429   Sq.Km", "2 1,08 1   Sq.Km"}, 1);
        row(5, 33, {"ALL INDIA INSTITUTE OF MEDICAL SCIENCE IS LOCATED AT", "NEW DELHI", "MYSORE", "CALCUTTA", "CHENNAI"}, 1);
        row(5, 70, {"NATIONAL BOTANICAL GARDEN IS LOCATED AT", "BHAVA NAGAR", "LUCKNOW", "PUNE", "CHENNAI"}, 2);
        row(5, 88, {"ATOMIC ENERGY COMMISION IS LOCATED AT", "MUMBAI", "CALCUTTA", "MUMBAI", "CHENNAI"}, 1);
        row(5, 159, {"CHANDIGARH IS THE CAPITAL OF", "CHANDIGARH", "PUNJAB", "HARYANA", "ALL OF THE ABOVE"}, 4);
        row(5, 183, {"POPULATION OF INDIA AS PER  199 1 CENSUS", "84,63,02,688", "64,63,02,688", "74,63,02,688", "94,63,02,688"}, 1);
        row(5, 194, {"AREA OF GOA IS", "3,702    Sq.Km", " 1,96,024 Sq.Km", "44,2 12   Sq.Km", "55,673   Sq.KM"}, 1);
        row(5, 200, {"AREA OF KERALA IS", "2,22,236 Sq.Km", " 1,9 1,79 1 Sq.Km", "38,863   Sq.Km", "4,43,446 Sq.Km"}, 3);
    }
    void knownRowsStandToTheLetter() {
        QFETCH(int, level);
        QFETCH(int, number);
        QFETCH(QString, row);
        QCOMPARE(Row(Record(level, number)), row);
    }

    void specialOptionsStandWhereTheyMay() {
        const std::map<int, std::set<int>> yesNo{{3, {142}}, {4, {21, 27, 28, 31, 32, 56, 80, 86, 154}}, {5, {188, 189}}};
        for (int level = 1; level <= bank::LevelCount; ++level) {
            for (int number = 1; number <= 200; ++number) {
                const Question& q = Record(level, number);
                const QByteArray where = Where(level, number).toLatin1();
                for (int n = 1; n <= 4; ++n) {
                    const std::u16string_view o = q.OptionText(n);
                    const bool correct = n == q.AnswerNumber;
                    if (o == bank::NoneOfTheAbove)
                        QVERIFY2(n == 4 && (!correct || (level == 3 && (number == 7 || number == 102))), where);
                    if (o == u"NONE  OF THE ABOVE") QVERIFY2(level == 3 && number == 10 && n == 4, where);
                    if (o == bank::AllOfTheAbove) QVERIFY2(n == ((level == 1 && number == 37) ? 3 : 4), where);
                    if (bank::IsFiller(o))
                        QVERIFY2(n >= 3 && !correct && (o == q.OptionText(7 - n) || (level == 4 && number == 154)) &&
                                     (bank::IsYesNo(q) || (level == 1 && number == 158) || (level == 4 && number == 84)),
                                 where);
                }
                const bool statement = yesNo.count(level) && yesNo.at(level).count(number);
                QVERIFY2(bank::IsYesNo(q) == statement, where);
                if (statement) QVERIFY2(q.AnswerNumber == 1, where);
                // Two options read the same only at level 5 number 88 and where fillers stand.
                const std::set<std::u16string_view> texts{q.OptionText(1), q.OptionText(2), q.OptionText(3), q.OptionText(4)};
                if (!bank::IsFiller(q.OptionText(4)) && !(level == 5 && number == 88)) QVERIFY2(texts.size() == 4, where);
            }
        }
        QCOMPARE(Text(Record(4, 154).OptionText(3)) + "|" + Text(Record(4, 154).OptionText(4)), QStringLiteral("MAY BE|*****"));
    }

    // Only these questions stand twice or three times in a level, once per right answer,
    // and only one text in two levels.
    void questionTextsRepeatOnlyWhereTheyMay() {
        const std::set<std::pair<int, std::vector<int>>> allowed{{1, {7, 29}},    {2, {127, 128}}, {2, {129, 130}},
                                                                 {2, {170, 171}}, {2, {173, 174}}, {2, {181, 182}},
                                                                 {5, {138, 147, 159}}};
        std::map<std::u16string_view, std::set<int>> levelsOf;
        for (int level = 1; level <= bank::LevelCount; ++level) {
            std::map<std::u16string_view, std::vector<int>> numbers;
            for (int number = 1; number <= 200; ++number) {
                numbers[Record(level, number).QuestionText].push_back(number);
                levelsOf[Record(level, number).QuestionText].insert(level);
            }
            for (const auto& [text, at] : numbers) {
                if (at.size() < 2) continue;
                QVERIFY2(allowed.count({level, at}), qPrintable(Text(text)));
                for (std::size_t i = 1; i < at.size(); ++i) {
                    QVERIFY(!(Record(level, at[i]).OptionText == Record(level, at[0]).OptionText));
                    QVERIFY(Record(level, at[i]).AnswerNumber != Record(level, at[i - 1]).AnswerNumber);
                }
            }
        }
        for (const auto& [text, levels] : levelsOf)
            if (levels.size() > 1) QCOMPARE(Text(text), QStringLiteral("NATIONAL BOTANICAL GARDEN IS LOCATED AT"));
    }

    void checksRejectWhatTheBankMustNotHold() {
        const bank::OptionSet ok{u"A", u"B", u"C", u"D"};
        QVERIFY(bank::IsWellFormed(Question{u"AREA OF GOA IS", {u"3,702    Sq.Km", u"Dr. X", u"Smt. Y", u"2nd"}, 1}));
        QVERIFY(bank::IsWellFormed(Question{u"A", {u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJK", u"B", u"C", u"D"}, 1}));
        for (const Question& bad : {Question{u"WHO IS IT?", ok, 1}, Question{u"Who IS IT", ok, 1}, Question{u"", ok, 1},
                                    Question{u"A", {u"A", u"", u"C", u"D"}, 1}, Question{u"A", ok, 0},
                                    Question{u"A", ok, 5}, Question{u"A\tB", ok, 1},
                                    Question{u"A", {u"YES", u"NO", u"****", u"****"}, 3},
                                    Question{u"A", {u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKL", u"B", u"C", u"D"}, 1}})
            QVERIFY2(!bank::IsWellFormed(bad), qPrintable(Row(bad)));
    }

    // Every record of every level shows as stored, blanks included, and sets CorrectOption;
    // numbers outside the table change nothing.
    void showQuestionWritesTheRecordAsStored() {
        Slots view;
        for (int i = 0; i < 1000; ++i) {
            bank::ShowQuestion(view.For(i / 200 + 1), i % 200 + 1);
            QCOMPARE(view.Shown() << QString::number(CorrectOption.value()), Row(Record(i / 200 + 1, i % 200 + 1)).split('\t'));
        }
        bank::ShowQuestion(view.For(3), 10);
        const QStringList before = view.Shown();
        for (int n : {0, 201, 255, -1, 32767}) {
            bank::ShowQuestion(view.For(3), n);
            QCOMPARE(view.Shown(), before);
            QCOMPARE(CorrectOption.value(), 2);
        }
        // A text box shows a long text from its first character.
        view.text.resize(625, 19);
        bank::ShowQuestion(view.For(1), 198);
        QCOMPARE(view.text.cursorPosition(), 0);
        // No such level is an error.
        QCOMPARE(harness::RaisedBy([] { (void)bank::LevelTable(6); }), runtime::ErrorCode::SubscriptOutOfRange);
        QCOMPARE(harness::RaisedBy([] { (void)bank::LevelTable(0); }), runtime::ErrorCode::SubscriptOutOfRange);
    }

    // bank-export prints every record, one line each, in level and number order, as stored.
    void exportPrintsEveryRecordInOrder() {
        QProcess exporter;
        exporter.start(QStringLiteral(BANK_EXPORT), {});
        QVERIFY(exporter.waitForFinished(60000));
        QCOMPARE(exporter.exitCode(), 0);
        const QStringList lines = QString::fromLatin1(exporter.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.size(), 1001);
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(lines[i], QStringLiteral("%1\t%2\t").arg(i / 200 + 1).arg(i % 200 + 1) + Row(Record(i / 200 + 1, i % 200 + 1)));
    }
};

QTEST_MAIN(BankTest)
#include "test_bank.moc"
