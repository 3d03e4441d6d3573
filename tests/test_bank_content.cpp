// The question bank's content: each level's figures computed from its table, the special
// options and where they stand, the writing conventions, and each level's topic runs where
// the wording of a run's stems is fixed.

#include "bank/Figures.h"
#include "bank/Levels.h"

#include <QRegularExpression>
#include <QTest>
#include <map>
#include <set>

using bank::Question;

Q_DECLARE_METATYPE(bank::Figures)

namespace {

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

const Question& Record(int level, int number) { return bank::LevelTable(level)[static_cast<std::size_t>(number - 1)]; }

QString Where(int level, int number) { return QStringLiteral("level %1 number %2").arg(level).arg(number); }

// A text with its blanks taken out, as the year or number it spells.
QString Unblanked(std::u16string_view s) { return Q(s).remove(QLatin1Char(' ')); }

// The numbers first to last.
std::vector<int> Span(int first, int last) {
    std::vector<int> v;
    for (int n = first; n <= last; ++n) v.push_back(n);
    return v;
}

// Runs of records that keep the option set of their first record, with their answers.
struct SharedRun {
    int level, first;
    std::vector<int> answers;
};

const SharedRun SharedRuns[] = {
    {1, 1, {1, 4, 2, 3}},  {1, 5, {1, 2, 4, 3}},  {2, 65, {2, 2, 2}},    {2, 73, {1, 2, 3, 4}},
    {2, 122, {1, 2, 3, 4}}, {2, 153, {1, 2, 3, 4}}, {2, 183, {1, 2, 3, 4}}, {2, 197, {1, 2, 3, 4}},
    {3, 117, {1, 1, 1, 1}}, {4, 180, {1, 2, 3, 4}}, {4, 184, {1, 2, 3, 4}}, {5, 33, {1, 2, 3, 1, 1}},
    {5, 107, {1, 2, 3, 4}}, {5, 169, {1, 2, 3, 4}}, {5, 190, {1, 2, 3, 4}}, {5, 194, {1, 2, 3, 4}},
};

}  // namespace

class BankContentTest : public QObject {
    Q_OBJECT

private slots:
    // The counting itself, on a table small enough to count by hand.
    void figuresCountWhatTheyName() {
        constexpr bank::OptionSet a{u"A 1", u"B", u"NONE OF THE ABOVE", u"ALL OF THE ABOVE"};
        constexpr bank::OptionSet b{u"YES", u"NO", u"****", u"****"};
        constexpr bank::OptionSet c{u"C", u"D", u"E", u"NONE OF THE ABOVE"};
        constexpr std::array<Question, 7> table{{
            {u"Q1", a, 1}, {u"Q 11", a, 4}, {u"Q", b, 1}, {u"QQQ", c, 4}, {u"Q", b, 1}, {u"Q", b, 1}, {u"Q", a, 2}}};
        constexpr bank::Figures f = bank::FiguresOf(table);
        static_assert(f.distinctOptionSets == 3);
        static_assert(f.sharedRecords == 6);  // a at 1, 2, 7; b at 3, 5, 6
        static_assert(f.runs == 2 && f.runRecords == 4);  // 1-2 and 5-6
        static_assert(f.answers == std::array<int, 4>{4, 1, 0, 2});
        static_assert(f.noneOfTheAbove == 4 && f.noneCorrect == 1);
        static_assert(f.allOfTheAbove == 3 && f.allCorrect == 1);
        static_assert(f.yesNo == 3);
        static_assert(f.digitOnes == 6 && f.onesAfterBlank == 4);  // not after a blank: "Q1", the second of "11"
        static_assert(f.questionShortest == 1 && f.questionLongest == 4 && f.optionShortest == 1);
        QCOMPARE(f.optionLongest, 17);
    }

    void eachLevelHasItsFigures_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<bank::Figures>("expected");
        auto row = [](int level, std::array<int, 4> lengths, std::array<int, 4> answers, std::array<int, 4> sharing,
                      std::array<int, 5> special) {
            bank::Figures f;
            f.questionShortest = lengths[0];
            f.questionLongest = lengths[1];
            f.optionShortest = lengths[2];
            f.optionLongest = lengths[3];
            f.answers = answers;
            f.distinctOptionSets = sharing[0];
            f.sharedRecords = sharing[1];
            f.runs = sharing[2];
            f.runRecords = sharing[3];
            f.noneOfTheAbove = special[0];
            f.noneCorrect = special[1];
            f.allOfTheAbove = special[2];
            f.allCorrect = special[3];
            f.yesNo = special[4];
            QTest::addRow("level %d", level) << level << f;
        };
        //   level  lengths: question, option   answers 1 to 4     sets shared runs records   none  all  yes/no
        row(1, {11, 73, 1, 31}, {88, 40, 41, 31}, {175, 37, 12, 33}, {14, 0, 2, 2, 0});
        row(2, {12, 71, 3, 28}, {68, 41, 44, 47}, {154, 65, 15, 47}, {15, 0, 1, 0, 0});
        row(3, {16, 69, 2, 37}, {109, 34, 35, 22}, {187, 22, 7, 18}, {36, 2, 2, 1, 1});
        row(4, {15, 70, 2, 29}, {97, 37, 45, 21}, {177, 36, 7, 18}, {18, 0, 1, 1, 9});
        row(5, {14, 71, 2, 35}, {98, 39, 29, 34}, {136, 85, 18, 52}, {3, 0, 2, 1, 2});
    }

    void eachLevelHasItsFigures() {
        QFETCH(int, level);
        QFETCH(bank::Figures, expected);
        bank::Figures actual = bank::FiguresOf(bank::LevelTable(level));
        // The digit 1 and the mean lengths are figures of the whole bank (below).
        actual.digitOnes = actual.onesAfterBlank = actual.questionCharacters = actual.optionCharacters = 0;
        QCOMPARE(actual.questionShortest, expected.questionShortest);
        QCOMPARE(actual.questionLongest, expected.questionLongest);
        QCOMPARE(actual.optionShortest, expected.optionShortest);
        QCOMPARE(actual.optionLongest, expected.optionLongest);
        QCOMPARE(actual.answers, expected.answers);
        QCOMPARE(actual.distinctOptionSets, expected.distinctOptionSets);
        QCOMPARE(actual.sharedRecords, expected.sharedRecords);
        QCOMPARE(actual.runs, expected.runs);
        QCOMPARE(actual.runRecords, expected.runRecords);
        QCOMPARE(actual.noneOfTheAbove, expected.noneOfTheAbove);
        QCOMPARE(actual.noneCorrect, expected.noneCorrect);
        QCOMPARE(actual.allOfTheAbove, expected.allOfTheAbove);
        QCOMPARE(actual.allCorrect, expected.allCorrect);
        QCOMPARE(actual.yesNo, expected.yesNo);
        QVERIFY(actual == expected);
    }

    void theWholeBankHasItsFigures() {
        bank::Figures all = bank::FiguresOf(bank::LevelTable(1));
        for (int level = 2; level <= bank::LevelCount; ++level) all += bank::FiguresOf(bank::LevelTable(level));
        QCOMPARE(all.answers, (std::array<int, 4>{460, 191, 194, 155}));
        QCOMPARE(all.noneOfTheAbove, 86);
        QCOMPARE(all.allOfTheAbove, 8);
        QCOMPARE(all.allCorrect, 5);
        QCOMPARE(all.yesNo, 12);
        // Most digits 1 follow a blank, even inside a number: " 196 1".
        QCOMPARE(all.digitOnes, 497);
        QCOMPARE(all.onesAfterBlank, 448);
        // A question is about 38 characters long, an option about 10.
        QCOMPARE(qRound(all.questionCharacters / 1000.0), 38);
        QCOMPARE(qRound(all.optionCharacters / 4000.0), 10);
    }

    void specialOptionsStandWhereTheyMay() {
        for (int level = 1; level <= bank::LevelCount; ++level) {
            for (int number = 1; number <= 200; ++number) {
                const Question& q = Record(level, number);
                const QString where = Where(level, number);
                for (int n = 1; n <= 4; ++n) {
                    const std::u16string_view o = q.OptionText(n);
                    const bool correct = n == q.AnswerNumber;
                    if (o == bank::NoneOfTheAbove) {
                        QVERIFY2(n == 4, qPrintable(where));
                        QVERIFY2(!correct || (level == 3 && (number == 7 || number == 102)), qPrintable(where));
                    }
                    if (o == u"NONE  OF THE ABOVE") QVERIFY2(level == 3 && number == 10 && n == 4, qPrintable(where));
                    if (o == bank::AllOfTheAbove)
                        QVERIFY2(n == ((level == 1 && number == 37) ? 3 : 4), qPrintable(where));
                    if (bank::IsFiller(o)) {
                        // Fillers stand in pairs as options 3 and 4, never as the answer.
                        QVERIFY2(n >= 3 && !correct, qPrintable(where));
                        QVERIFY2(bank::IsYesNo(q) || (level == 1 && number == 158) || (level == 4 && number == 84),
                                 qPrintable(where));
                    }
                }
                // Two options read the same only at level 5 number 88 and where fillers stand.
                std::set<std::u16string_view> texts;
                for (int n = 1; n <= 4; ++n)
                    if (!bank::IsFiller(q.OptionText(n))) texts.insert(q.OptionText(n));
                const bool hasFiller = bank::IsFiller(q.OptionText(3)) || bank::IsFiller(q.OptionText(4));
                if (!(level == 5 && number == 88) && !hasFiller) QVERIFY2(texts.size() == 4, qPrintable(where));
            }
        }
    }

    void yesNoStatementsStandWhereTheyMay() {
        const std::map<int, std::set<int>> where{{1, {}}, {2, {}}, {3, {142}}, {4, {21, 27, 28, 31, 32, 56, 80, 86, 154}},
                                                 {5, {188, 189}}};
        for (int level = 1; level <= bank::LevelCount; ++level) {
            for (int number = 1; number <= 200; ++number) {
                const Question& q = Record(level, number);
                const bool yesNo = where.at(level).count(number) > 0;
                QVERIFY2(bank::IsYesNo(q) == yesNo, qPrintable(Where(level, number)));
                if (!yesNo) continue;
                QCOMPARE(int(q.AnswerNumber), 1);
                if (level == 4 && number == 21) {
                    QCOMPARE(Q(q.OptionText(3)) + "|" + Q(q.OptionText(4)), QStringLiteral("MAY BE|CANNOT BE"));
                } else if (level == 4 && number == 154) {
                    QCOMPARE(Q(q.OptionText(3)) + "|" + Q(q.OptionText(4)), QStringLiteral("MAY BE|*****"));
                } else {
                    QVERIFY(q.OptionText(3) == u"****" || q.OptionText(3) == u"*****");
                    QVERIFY(q.OptionText(4) == q.OptionText(3));
                }
            }
        }
    }

    void questionTextsRepeatOnlyWhereTheyMay() {
        // Within a level: the questions with more than one right answer, asked once per answer.
        const std::set<std::pair<int, std::vector<int>>> repeats{
            {1, {7, 29}},    {2, {127, 128}}, {2, {129, 130}},      {2, {170, 171}},
            {2, {173, 174}}, {2, {181, 182}}, {5, {138, 147, 159}},
        };
        std::map<std::u16string_view, std::vector<std::pair<int, int>>> seen;
        for (int level = 1; level <= bank::LevelCount; ++level) {
            std::map<std::u16string_view, std::vector<int>> numbers;
            for (int number = 1; number <= 200; ++number) {
                numbers[Record(level, number).QuestionText].push_back(number);
                seen[Record(level, number).QuestionText].push_back({level, number});
            }
            for (const auto& [text, at] : numbers) {
                if (at.size() < 2) continue;
                QVERIFY2(repeats.count({level, at}), qPrintable(Q(text)));
                // Each time with another option set and another answer.
                for (std::size_t i = 1; i < at.size(); ++i) {
                    QVERIFY(!(Record(level, at[i]).OptionText == Record(level, at[0]).OptionText));
                    QVERIFY(Record(level, at[i]).AnswerNumber != Record(level, at[i - 1]).AnswerNumber);
                }
            }
        }
        // Across levels: one text only.
        for (const auto& [text, at] : seen) {
            std::set<int> levels;
            for (const auto& [level, number] : at) levels.insert(level);
            if (levels.size() < 2) continue;
            QCOMPARE(Q(text), QStringLiteral("NATIONAL BOTANICAL GARDEN IS LOCATED AT"));
            QCOMPARE(at, (std::vector<std::pair<int, int>>{{3, 182}, {5, 70}}));
        }
    }

    void runsShareOneOptionSet() {
        for (const SharedRun& run : SharedRuns) {
            const Question& first = Record(run.level, run.first);
            for (std::size_t i = 0; i < run.answers.size(); ++i) {
                const int number = run.first + int(i);
                const Question& q = Record(run.level, number);
                QVERIFY2(q.OptionText == first.OptionText, qPrintable(Where(run.level, number)));
                QVERIFY2(q.AnswerNumber == run.answers[i], qPrintable(Where(run.level, number)));
            }
        }
        // Level 1's language runs.
        for (auto [first, last] : {std::pair{5, 8}, {9, 12}, {20, 21}, {30, 31}})
            for (int n = first + 1; n <= last; ++n) QVERIFY(Record(1, n).OptionText == Record(1, first).OptionText);
        // Level 5's metropolitan cities come back after gaps, and stand nowhere else.
        const std::set<int> metros{115, 116, 117, 119, 120, 129, 130};
        const bank::OptionSet cities{u"NEW DELHI", u"CALCUTTA", u"MUMBAI", u"CHENNAI"};
        for (int n = 1; n <= 200; ++n)
            QVERIFY2((Record(5, n).OptionText == cities) == (metros.count(n) > 0), qPrintable(Where(5, n)));
    }

    void stemsFollowTheirTopicRuns() {
        auto stems = [](int level, const std::vector<int>& numbers, const QString& pattern) {
            const QRegularExpression re(pattern);
            for (int n : numbers) {
                QVERIFY2(re.match(Q(Record(level, n).QuestionText)).hasMatch(),
                         qPrintable(Where(level, n) + ": " + Q(Record(level, n).QuestionText)));
            }
        };
        auto join = [](std::vector<int> a, const std::vector<int>& b) {
            a.insert(a.end(), b.begin(), b.end());
            return a;
        };
        stems(1, Span(5, 31), "(IS THE PRINCIPAL LANGUAGE OF|ARE THE PRINCIPAL LANGUAGES OF)$");
        stems(2, join(Span(106, 121), Span(131, 133)), "IS LOCATED ON THE BANK OF RIVER$");
        stems(2, Span(122, 130), "BHARAT RATNA.*POSTHUMOUSLY");
        stems(2, Span(134, 165), "WAS WRITTEN BY$");
        stems(2, Span(166, 182), "BHARAT RATNA");
        stems(3, Span(25, 32), "TRIBES ARE LIVING IN$");
        stems(3, Span(33, 53), "IN THE YEAR$");
        stems(4, join(Span(172, 178), Span(189, 200)), "THERMAL POWER STATION IS LOCATED IN$");
        stems(4, Span(179, 188), "^AREA OF [A-Z ]+ IS$");
        stems(5, Span(136, 159), "IS THE CAPITAL OF$");
        stems(5, Span(190, 200), "^AREA OF [A-Z ]+ IS$");

        // Level 5: exactly these records say where something is located.
        const QRegularExpression located("IS (LOCATED|LOACTED) AT ?$");
        int trailingBlank = 0;
        for (int n = 1; n <= 200; ++n) {
            const QString text = Q(Record(5, n).QuestionText);
            const bool inRun = (n >= 33 && n <= 106) || (n >= 113 && n <= 135) || (n >= 160 && n <= 176);
            QVERIFY2(located.match(text).hasMatch() == inRun, qPrintable(Where(5, n) + ": " + text));
            QVERIFY2(text.contains("LOACTED") == (n == 61), qPrintable(Where(5, n)));
            if (text.endsWith(' ')) ++trailingBlank;
        }
        QCOMPARE(trailingBlank, 1);
    }

    void awardYearsRunInOrder() {
        // The film award: level 2 from 1969 to 1986, level 3 on from 1987 to 1991.
        const QRegularExpression falke("^DADA SAHIB FALKE AWARD FOR THE YEAR  ([0-9 ]+) WAS AWARDED TO$");
        auto years = [&](int level, int first, int last, int firstYear) {
            for (int n = first; n <= last; ++n) {
                const auto m = falke.match(Q(Record(level, n).QuestionText));
                QVERIFY2(m.hasMatch(), qPrintable(Where(level, n)));
                QCOMPARE(m.captured(1).remove(' ').toInt(), firstYear + n - first);
            }
        };
        years(2, 183, 200, 1969);
        years(3, 1, 5, 1987);
        QCOMPARE(Q(Record(2, 183).QuestionText), QStringLiteral("DADA SAHIB FALKE AWARD FOR THE YEAR  1969 WAS AWARDED TO"));
    }

    void namedRecordsSayWhatTheyMust() {
        // Chandigarh is asked three times, once per right answer.
        const std::pair<int, const char16_t*> chandigarh[] = {{138, u"HARYANA"}, {147, u"PUNJAB"}, {159, u"ALL OF THE ABOVE"}};
        for (auto [n, answer] : chandigarh) {
            QCOMPARE(Q(Record(5, n).QuestionText), QStringLiteral("CHANDIGARH IS THE CAPITAL OF"));
            QCOMPARE(Q(Record(5, n).OptionText(Record(5, n).AnswerNumber)), QString::fromUtf16(answer));
        }
        // Level 3 asks who said a saying, with four blanks after "SAID", among its famous persons.
        int found = 0;
        for (int n = 60; n <= 149; ++n)
            if (Record(3, n).QuestionText == u"WHO SAID    I WANT MEN WHO WORK AS CRUSADERS") ++found;
        QCOMPARE(found, 1);
        // The areas of the states, in the order of their names: level 4 from Madhya Pradesh to
        // Sikkim, level 5 from Andhra Pradesh to Kerala.
        auto areas = [](int level, int first, const QStringList& states) {
            for (int i = 0; i < states.size(); ++i)
                QCOMPARE(Q(Record(level, first + i).QuestionText), "AREA OF " + states[i] + " IS");
        };
        areas(4, 179, {"MADHYA PRADESH", "MAHARASHTRA", "MANIPUR", "MEGHALAYA", "MIZORAM", "NAGALAND", "ORISSA",
                       "PUNJAB", "RAJASTHAN", "SIKKIM"});
        areas(5, 190, {"ANDHRA PRADESH", "ARUNACHAL PRADESH", "ASSAM", "BIHAR", "GOA", "GUJARAT", "HARYANA",
                       "HIMACHAL PRADESH", "JAMMU AND KASHMIR", "KARNATAKA", "KERALA"});
        // Population figures of the 1991 census in level 2.
        for (int n : {26, 43, 48, 60}) QVERIFY2(Unblanked(Record(2, n).QuestionText).contains("1991CENSUS"), qPrintable(Where(2, n)));
    }
};

QTEST_APPLESS_MAIN(BankContentTest)
#include "test_bank_content.moc"
