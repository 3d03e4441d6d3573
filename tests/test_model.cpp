// The whole program against a small reference model of its behaviour.
//
// Long random sequences of player actions (level buttons and Exit of the main menu; Next,
// the four answer buttons and Exit of every open level window; OK of the About box; a
// close from the window manager of any window; now and then an access key instead of a
// click) run on the real windows. The same actions run on QuizModel, a plain description
// of what each window must show and of the shared quiz state. After every action the
// whole model is compared with the program; the first difference fails the test with the
// seed, the step, the action and the field.
//
// Every sequence has its own seed, which also drives the program's random generator. The
// seeds of a run follow from one base seed, drawn afresh for each run unless
// TARVONIX_MODEL_SEED gives it; a failure message names the base seed and the test row,
// which repeat the failing sequence exactly.

#include "Harness.h"
#include "bank/Levels.h"
#include "runtime/Beep.h"
#include "runtime/Controls.h"
#include "runtime/Numbers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// The windows, as the model names them.

constexpr int MenuForm = 0;   // frmTarvonix
constexpr int AboutForm = 6;  // frmAbout; 1 to 5 are the level windows frmgk to frmgk4
constexpr int FormCount = 7;

QString FormName(int form) {
    if (form == MenuForm) return QStringLiteral("main menu");
    if (form == AboutForm) return QStringLiteral("About box");
    return QStringLiteral("Level %1 window").arg(form);
}

using Order = std::array<int, 201>;  // QuestionOrder, positions 0 to 200

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The letter after the "&" of a caption, upper case; 0 if it has none.
char AccessKeyOf(const QString& caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= caption.size()) return 0;
    return static_cast<char>(caption.at(amp + 1).toUpper().toLatin1());
}

// ---------------------------------------------------------------------------------------
// The reference model.

enum class Face { None, Right, Wrong, Other };

QString FaceName(Face face) {
    switch (face) {
    case Face::None: return QStringLiteral("no picture");
    case Face::Right: return QStringLiteral("the right-answer face");
    case Face::Wrong: return QStringLiteral("the wrong-answer face");
    case Face::Other: break;
    }
    return QStringLiteral("a picture that is neither face");
}

// What a loaded level window shows.
struct LevelView {
    QString label10;      // question number
    QString label11;      // marks
    QString label14;      // correct option
    QString lblcomplete;  // completion text
    QString nextCaption;
    bool nextEnabled = true;
    bool quitEnabled = true;
    std::array<bool, 4> answerEnabled{};
    Face face = Face::None;  // Image1
    QString text1;           // the question
    std::array<QString, 4> options;  // Label6 to Label9
};

class QuizModel {
public:
    // The program as its entry point leaves it: the menu loaded, the quiz state 0.
    QuizModel() { loaded[MenuForm] = true; }

    // A level button of the main menu.
    void ChooseLevel(int level) {
        if (!loaded[MenuForm]) return;
        if (!loaded[level]) {
            loaded[level] = true;
            LevelView& view = levels[level - 1];
            view = LevelView{};
            view.text1 =
                QStringLiteral("Level %1 consists 200 Questions. Click on Start Button to start the Quiz").arg(level);
            view.nextCaption = QStringLiteral("&Start");
            marks = 0;
            questionNo = 0;
            newOrderDrawn = true;  // the caller hands over the order the load drew: TakeOrder
        }
        front = level;
        EndIfNothingLoaded();
    }

    // The main menu's Exit.
    void LeaveMenu() {
        if (!loaded[MenuForm]) return;
        loaded[MenuForm] = false;
        loaded[AboutForm] = true;
        front = AboutForm;
        EndIfNothingLoaded();
    }

    // Next (or Start) of a level window.
    void Next(int level) {
        LevelView* view = Open(level);
        if (!view || !view->nextEnabled) return;
        view->answerEnabled = {true, true, true, true};
        view->face = Face::None;
        questionNo += 1;
        if (questionNo > 200) {
            view->lblcomplete = QStringLiteral("Level %1 completed").arg(level);
            view->nextEnabled = false;
            view->answerEnabled = {};
        } else {
            view->label10 = QString::number(questionNo);
            view->label14 = QString();
            view->nextCaption = QStringLiteral("&Next");
            view->nextEnabled = false;
            ShowQuestion(*view, level, order[static_cast<std::size_t>(questionNo)]);
        }
        EndIfNothingLoaded();
    }

    // Answer button 1 to 4 of a level window.
    void Answer(int level, int option) {
        LevelView* view = Open(level);
        if (!view || !view->answerEnabled[static_cast<std::size_t>(option - 1)]) return;
        if (option == correctOption) {
            marks += 1;
            view->label11 = QString::number(marks);
            view->face = Face::Right;
            beeps += 1;
        } else {
            view->face = Face::Wrong;
        }
        view->label14 = QString::number(correctOption);
        view->answerEnabled = {};
        view->nextEnabled = true;
        EndIfNothingLoaded();
    }

    // Exit of a level window.
    void Quit(int level) {
        LevelView* view = Open(level);
        if (!view || !view->quitEnabled) return;
        loaded[level] = false;
        EndIfNothingLoaded();
    }

    // OK of the About box.
    void CloseAbout() {
        if (!loaded[AboutForm]) return;
        loaded[AboutForm] = false;
        EndIfNothingLoaded();
    }

    // The window manager closes a window: the form is unloaded, no handler of the program runs.
    void CloseByWindowManager(int form) {
        loaded[form] = false;
        EndIfNothingLoaded();
    }

    // Alt+key in a window: the enabled button whose caption has that access key is pressed.
    // The player brings the window to the front first.
    void AccessKey(int form, char key) {
        if (!loaded[form]) return;
        front = form;
        if (form == MenuForm) {
            if (key >= '1' && key <= '5') ChooseLevel(key - '0');
            else if (key == 'X') LeaveMenu();
        } else if (form == AboutForm) {
            if (key == 'O') CloseAbout();
        } else {
            if (key >= '1' && key <= '4') Answer(form, key - '0');
            else if (key == 'X') Quit(form);
            else if (key == AccessKeyOf(levels[form - 1].nextCaption)) Next(form);  // S or N, as captioned
        }
    }

    // The order that the last load of a level window drew.
    void TakeOrder(const Order& drawn) {
        order = drawn;
        newOrderDrawn = false;
    }

    const LevelView* Level(int level) const { return loaded[level] ? &levels[level - 1] : nullptr; }
    int LoadedCount() const { return static_cast<int>(std::count(loaded.begin(), loaded.end(), true)); }

    std::array<bool, FormCount> loaded{};
    bool ended = false;
    int questionNo = 0;
    int marks = 0;
    int correctOption = 0;
    Order order{};
    bool newOrderDrawn = false;
    int beeps = 0;  // since the program started
    int front = MenuForm;  // the window shown last; -1 once it is gone and the window manager picks

private:
    LevelView* Open(int level) { return loaded[level] ? &levels[level - 1] : nullptr; }

    // Record n of the level into the window; numbers outside 1 to 200 select nothing.
    void ShowQuestion(LevelView& view, int level, int n) {
        if (n < 1 || n > bank::QuestionsPerLevel) return;
        const bank::Question& record = bank::LevelTable(level)[static_cast<std::size_t>(n - 1)];
        view.text1 = Text(record.QuestionText);
        for (int i = 0; i < 4; ++i) view.options[static_cast<std::size_t>(i)] = Text(record.OptionText(i + 1));
        correctOption = record.AnswerNumber;
    }

    // The program ends once no form is loaded.
    void EndIfNothingLoaded() {
        if (front >= 0 && !loaded[front]) front = -1;
        if (LoadedCount() == 0) ended = true;
    }

    std::array<LevelView, 5> levels;
};

int OpenLevelWindows(const QuizModel& model) {
    int open = 0;
    for (int level = 1; level <= 5; ++level) open += model.Level(level) ? 1 : 0;
    return open;
}

int CompletedLevelWindows(const QuizModel& model) {
    int completed = 0;
    for (int level = 1; level <= 5; ++level) completed += model.Level(level) && !model.Level(level)->lblcomplete.isEmpty();
    return completed;
}

// ---------------------------------------------------------------------------------------
// The real program.

runtime::FormBase& RealForm(int form) {
    if (form == MenuForm) return frmTarvonix;
    if (form == AboutForm) return frmAbout;
    return *harness::LevelForms()[static_cast<std::size_t>(form - 1)];
}

QString FormNameOf(const QWidget* window) {
    if (!window) return QStringLiteral("no window");
    for (int form = 0; form < FormCount; ++form)
        if (RealForm(form).window() == window) return FormName(form);
    return QStringLiteral("a window of no form");
}

LevelWindow* RealLevel(int level) { return harness::LevelForms()[static_cast<std::size_t>(level - 1)]->operator->(); }

Order RealOrder() {
    Order order{};
    for (int p = 0; p <= 200; ++p) order[static_cast<std::size_t>(p)] = QuestionOrder(p).value();
    return order;
}

// Empty when positions 1 to 200 hold each of 1 to 200 once and position 0 holds 0.
QString PermutationFault(const Order& order) {
    if (order[0] != 0) return QStringLiteral("position 0 holds %1").arg(order[0]);
    std::array<int, 201> seen{};
    for (int p = 1; p <= 200; ++p) {
        const int n = order[static_cast<std::size_t>(p)];
        if (n < 1 || n > 200) return QStringLiteral("position %1 holds %2").arg(p).arg(n);
        if (seen[static_cast<std::size_t>(n)] != 0)
            return QStringLiteral("%1 stands at positions %2 and %3").arg(n).arg(seen[static_cast<std::size_t>(n)]).arg(p);
        seen[static_cast<std::size_t>(n)] = p;
    }
    return {};
}

Face FaceShown(LevelWindow* window) {
    const runtime::Picture shown = window->ui.Image1->picture();
    if (shown.IsEmpty()) return Face::None;
    const QImage image = shown.pixmap.toImage();
    if (image == window->ui.Image2->picture().pixmap.toImage()) return Face::Right;
    if (image == window->ui.Image3->picture().pixmap.toImage()) return Face::Wrong;
    return Face::Other;
}

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }
QString Quoted(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }
QString Quoted(int value) { return QString::number(value); }
QString Quoted(Face face) { return FaceName(face); }

// Compares the whole model with the program; returns one line per difference.
QStringList Differences(const QuizModel& model, int beepsAtStart) {
    QStringList out;
    auto check = [&out](const QString& field, const auto& expected, const auto& actual) {
        if (!(expected == actual))
            out << QStringLiteral("%1: expected %2, program has %3").arg(field, Quoted(expected), Quoted(actual));
    };

    for (const runtime::RuntimeError& error : harness::Errors())
        out << QStringLiteral("runtime error reported: %1").arg(error.report());
    check(QStringLiteral("program ended"), model.ended, runtime::HasEnded());
    check(QStringLiteral("forms loaded"), model.LoadedCount(), runtime::LoadedFormCount());
    for (int form = 0; form < FormCount; ++form) {
        const bool loaded = RealForm(form).IsLoaded();
        check(FormName(form) + QStringLiteral(" loaded"), model.loaded[static_cast<std::size_t>(form)], loaded);
        if (loaded && model.loaded[static_cast<std::size_t>(form)])
            check(FormName(form) + QStringLiteral(" visible"), true, RealForm(form).window()->isVisible());
    }

    if (model.front >= 0 && RealForm(model.front).IsLoaded())
        check(QStringLiteral("window in front"), FormName(model.front), FormNameOf(QApplication::activeWindow()));
    check(QStringLiteral("QuestionNo"), model.questionNo, QuestionNo.value());
    check(QStringLiteral("Marks"), model.marks, Marks.value());
    check(QStringLiteral("CorrectOption"), model.correctOption, CorrectOption.value());
    const Order order = RealOrder();
    for (int p = 0; p <= 200; ++p)
        check(QStringLiteral("QuestionOrder(%1)").arg(p), model.order[static_cast<std::size_t>(p)],
              order[static_cast<std::size_t>(p)]);
    check(QStringLiteral("beeps"), model.beeps, runtime::BeepCount() - beepsAtStart);

    for (int level = 1; level <= 5; ++level) {
        const LevelView* view = model.Level(level);
        if (!view || !RealForm(level).IsLoaded()) continue;
        LevelWindow* window = RealLevel(level);
        const Ui::LevelWindow& ui = window->ui;
        const QString in = QStringLiteral(" of the Level %1 window").arg(level);
        check(QStringLiteral("Label10") + in, view->label10, ui.Label10->text());
        check(QStringLiteral("Label11") + in, view->label11, ui.Label11->text());
        check(QStringLiteral("Label14") + in, view->label14, ui.Label14->text());
        check(QStringLiteral("lblcomplete") + in, view->lblcomplete, ui.lblcomplete->text());
        check(QStringLiteral("cmdNext caption") + in, view->nextCaption, ui.cmdNext->text());
        check(QStringLiteral("cmdNext enabled") + in, view->nextEnabled, ui.cmdNext->isEnabled());
        check(QStringLiteral("cmdQuit enabled") + in, view->quitEnabled, ui.cmdQuit->isEnabled());
        const std::array<QPushButton*, 4> answers{ui.Command1, ui.Command2, ui.Command3, ui.Command4};
        const std::array<QLabel*, 4> options{ui.Label6, ui.Label7, ui.Label8, ui.Label9};
        for (std::size_t i = 0; i < 4; ++i) {
            check(QStringLiteral("Command%1 enabled").arg(i + 1) + in, view->answerEnabled[i], answers[i]->isEnabled());
            check(QStringLiteral("Label%1").arg(i + 6) + in, view->options[i], options[i]->text());
        }
        // The verdict is told by comparing Image1 with the two hidden faces, which must differ.
        if (ui.Image2->picture().pixmap.toImage() == ui.Image3->picture().pixmap.toImage())
            out << QStringLiteral("Image2 and Image3") + in + QStringLiteral(" hold the same picture");
        check(QStringLiteral("Image1") + in, view->face, FaceShown(window));
        check(QStringLiteral("Text1") + in, view->text1, ui.Text1->text());
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Player actions.

enum class Kind { LevelButton, MenuExit, Next, Answer, Quit, AboutOk, WindowManagerClose, AccessKey };

struct Action {
    Kind kind;
    int form = 0;    // the window acted in
    int number = 0;  // the level of a level button, the option of an answer
    char key = 0;    // the access key
};

QString Describe(const Action& action) {
    const QString in = QStringLiteral(" in the ") + FormName(action.form);
    switch (action.kind) {
    case Kind::LevelButton: return QStringLiteral("click cmdLevel%1").arg(action.number) + in;
    case Kind::MenuExit: return QStringLiteral("click cmdExit") + in;
    case Kind::Next: return QStringLiteral("click cmdNext") + in;
    case Kind::Answer: return QStringLiteral("click Command%1").arg(action.number) + in;
    case Kind::Quit: return QStringLiteral("click cmdQuit") + in;
    case Kind::AboutOk: return QStringLiteral("click cmdOK") + in;
    case Kind::WindowManagerClose: return QStringLiteral("window manager closes the ") + FormName(action.form);
    case Kind::AccessKey: return QStringLiteral("Alt+%1").arg(QLatin1Char(action.key)) + in;
    }
    return {};
}

void ApplyToModel(QuizModel& model, const Action& action) {
    switch (action.kind) {
    case Kind::LevelButton: model.ChooseLevel(action.number); break;
    case Kind::MenuExit: model.LeaveMenu(); break;
    case Kind::Next: model.Next(action.form); break;
    case Kind::Answer: model.Answer(action.form, action.number); break;
    case Kind::Quit: model.Quit(action.form); break;
    case Kind::AboutOk: model.CloseAbout(); break;
    case Kind::WindowManagerClose: model.CloseByWindowManager(action.form); break;
    case Kind::AccessKey: model.AccessKey(action.form, action.key); break;
    }
}

// An access key goes to the active window; the player brings the window to the front first.
bool Activate(QWidget* window) {
    if (QApplication::activeWindow() == window) return true;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Performs the action on the real windows. False if the window could not be activated.
bool ApplyToProgram(const Action& action) {
    QWidget* window = RealForm(action.form).window();
    switch (action.kind) {
    case Kind::LevelButton: {
        const std::array<QPushButton*, 5> buttons{frmTarvonix->ui.cmdLevel1, frmTarvonix->ui.cmdLevel2,
                                                  frmTarvonix->ui.cmdLevel3, frmTarvonix->ui.cmdLevel4,
                                                  frmTarvonix->ui.cmdLevel5};
        harness::Click(buttons[static_cast<std::size_t>(action.number - 1)]);
        break;
    }
    case Kind::MenuExit: harness::Click(frmTarvonix->ui.cmdExit); break;
    case Kind::Next: harness::Click(RealLevel(action.form)->ui.cmdNext); break;
    case Kind::Answer: {
        const Ui::LevelWindow& ui = RealLevel(action.form)->ui;
        const std::array<QPushButton*, 4> buttons{ui.Command1, ui.Command2, ui.Command3, ui.Command4};
        harness::Click(buttons[static_cast<std::size_t>(action.number - 1)]);
        break;
    }
    case Kind::Quit: harness::Click(RealLevel(action.form)->ui.cmdQuit); break;
    case Kind::AboutOk: harness::Click(frmAbout->ui.cmdOK); break;
    case Kind::WindowManagerClose: {
        QCloseEvent close;
        QApplication::sendEvent(window, &close);
        QCoreApplication::processEvents();
        break;
    }
    case Kind::AccessKey:
        if (!Activate(window)) return false;
        harness::AccessKey(window, action.key);
        break;
    }
    harness::FlushDeletes();
    return true;
}

// How a player behaves over one sequence: how often they leave, switch levels, close
// windows from the title bar, use access keys and pick the right option.
struct Temperament {
    double leave;
    double switchLevel;
    double windowManagerClose;
    double accessKey;
    double rightAnswer;
};

const Temperament Restless{0.3, 1.5, 0.15, 0.006, 0.5};     // many windows, many exits
const Temperament Ordinary{0.05, 0.2, 0.03, 0.006, 0.7};
const Temperament Keen{0.002, 0.001, 0.001, 0.004, 0.85};    // plays passes to the end

// Chooses the next action among what the open windows offer, weighted by the temperament.
Action ChooseAction(const QuizModel& model, const Temperament& t, QRandomGenerator& random) {
    struct Candidate {
        double weight;
        Action action;
    };
    std::vector<Candidate> candidates;
    auto add = [&](double weight, Action action) { candidates.push_back({weight, action}); };

    const int openLevels = OpenLevelWindows(model);

    if (model.loaded[MenuForm]) {
        for (int level = 1; level <= 5; ++level)
            add(openLevels == 0 ? 2.0 : t.switchLevel, {Kind::LevelButton, MenuForm, level});
        add(t.leave * (openLevels == 0 ? 3.0 : 1.0), {Kind::MenuExit, MenuForm});
        add(t.windowManagerClose * 0.5, {Kind::WindowManagerClose, MenuForm});
    }
    for (int level = 1; level <= 5; ++level) {
        const LevelView* view = model.Level(level);
        if (!view) continue;
        // Mostly the buttons that do something, now and then one that is disabled.
        add(view->nextEnabled ? 10.0 : 0.3, {Kind::Next, level});
        const bool answering = view->answerEnabled[0];
        int option = 1 + static_cast<int>(random.bounded(4));
        if (model.correctOption >= 1 && model.correctOption <= 4 && random.generateDouble() < t.rightAnswer)
            option = model.correctOption;
        add(answering ? 10.0 : 0.3, {Kind::Answer, level, option});
        add(view->lblcomplete.isEmpty() ? t.leave : 2.0, {Kind::Quit, level});
        add(t.windowManagerClose, {Kind::WindowManagerClose, level});
    }
    if (model.loaded[AboutForm]) {
        add(1.0, {Kind::AboutOk, AboutForm});
        add(0.3, {Kind::WindowManagerClose, AboutForm});
    }

    double total = 0;
    for (const Candidate& c : candidates) total += c.weight;
    double pick = random.generateDouble() * total;
    Action chosen = candidates.back().action;
    for (const Candidate& c : candidates) {
        if (pick < c.weight) {
            chosen = c.action;
            break;
        }
        pick -= c.weight;
    }

    // Now and then the same button by its access key.
    if (random.generateDouble() < t.accessKey) {
        switch (chosen.kind) {
        case Kind::LevelButton: chosen = {Kind::AccessKey, MenuForm, 0, static_cast<char>('0' + chosen.number)}; break;
        case Kind::MenuExit: chosen = {Kind::AccessKey, MenuForm, 0, 'X'}; break;
        // Either letter: the one that is not Next's present access key must do nothing.
        case Kind::Next: chosen = {Kind::AccessKey, chosen.form, 0, random.bounded(2) ? 'N' : 'S'}; break;
        case Kind::Answer: chosen = {Kind::AccessKey, chosen.form, 0, static_cast<char>('0' + chosen.number)}; break;
        case Kind::Quit: chosen = {Kind::AccessKey, chosen.form, 0, 'X'}; break;
        case Kind::AboutOk: chosen = {Kind::AccessKey, AboutForm, 0, 'O'}; break;
        default: break;
        }
    }
    return chosen;
}

// ---------------------------------------------------------------------------------------
// Running a sequence.

// The random sequence the program's shuffle draws from, fixed by the sequence's seed:
// 24 random bits scaled into 0 <= r < 1.
void SubstituteSeededGenerator(quint64 seed) {
    auto generator = std::make_shared<QRandomGenerator64>(seed ^ 0x5eed5eedULL);
    runtime::SubstituteRandomSequence(
        [generator] { return static_cast<runtime::Single>(generator->generate() >> 40) * 0x1p-24f; });
}

// What the sequences of one run went through, reported at the end.
struct Tally {
    int actions = 0;
    int accessKeys = 0;
    int windowManagerCloses = 0;
    int levelLoads = 0;
    int completions = 0;
    int mostLevelWindowsOpen = 0;
    int programEnds = 0;
};
Tally tally;

class Sequence {
public:
    // `rerun` says how to repeat the sequence.
    Sequence(quint64 seed, QString rerun) : seed_(seed), rerun_(std::move(rerun)) {
        harness::ResetProgram();
        SubstituteSeededGenerator(seed);
        beepsAtStart_ = runtime::BeepCount();
        harness::StartProgram();
    }

    const QuizModel& model() const { return model_; }
    const QString& failure() const { return failure_; }
    bool failed() const { return !failure_.isEmpty(); }

    // The program's state right after start, before any action.
    bool CheckStart() { return Compare(QStringLiteral("start")); }

    // Performs one action on both; false (with failure() set) on the first difference.
    bool Do(const Action& action) {
        if (failed()) return false;
        ++step_;
        const QString described = Describe(action);
        recent_.push_back(QStringLiteral("%1: %2").arg(step_).arg(described));
        if (recent_.size() > 12) recent_.pop_front();

        const Order before = model_.order;
        const int completedBefore = CompletedLevelWindows(model_);
        ApplyToModel(model_, action);
        Count(action, completedBefore);
        if (!ApplyToProgram(action)) return Fail(described, {FormName(action.form) + QStringLiteral(" cannot be activated")});
        if (model_.newOrderDrawn) {
            // The shuffle is random: take the order the program drew, once it is a new
            // permutation of the level's 200 numbers.
            const Order drawn = RealOrder();
            const QString fault = PermutationFault(drawn);
            if (!fault.isEmpty())
                return Fail(described, {QStringLiteral("QuestionOrder after a load is no permutation: ") + fault});
            if (drawn == before && PermutationFault(before).isEmpty())
                return Fail(described, {QStringLiteral("QuestionOrder after a load is the order drawn before it")});
            model_.TakeOrder(drawn);
        }
        return Compare(described);
    }

private:
    void Count(const Action& action, int completedBefore) {
        ++tally.actions;
        tally.accessKeys += action.kind == Kind::AccessKey;
        tally.windowManagerCloses += action.kind == Kind::WindowManagerClose;
        tally.levelLoads += model_.newOrderDrawn;
        if (action.kind == Kind::Next || action.kind == Kind::AccessKey)
            tally.completions += std::max(0, CompletedLevelWindows(model_) - completedBefore);
        tally.mostLevelWindowsOpen = std::max(tally.mostLevelWindowsOpen, OpenLevelWindows(model_));
        tally.programEnds += model_.ended;
    }

    bool Compare(const QString& described) {
        const QStringList differences = Differences(model_, beepsAtStart_);
        return differences.isEmpty() || Fail(described, differences);
    }

    bool Fail(const QString& described, const QStringList& differences) {
        failure_ = QStringLiteral("seed %1, step %2 (%3):\n  %4\nlast actions:\n  %5\nrerun: %6")
                       .arg(seed_)
                       .arg(step_)
                       .arg(described, differences.join(QStringLiteral("\n  ")),
                            QStringList(recent_.begin(), recent_.end()).join(QStringLiteral("\n  ")), rerun_);
        return false;
    }

    quint64 seed_;
    QString rerun_;
    int beepsAtStart_ = 0;
    int step_ = 0;
    QuizModel model_;
    QString failure_;
    std::deque<QString> recent_;
};

quint64 BaseSeed() {
    bool ok = false;
    const quint64 fromEnvironment = qEnvironmentVariable("TARVONIX_MODEL_SEED").toULongLong(&ok);
    if (ok) return fromEnvironment;
    return QRandomGenerator::system()->generate() % 1000000000u;
}

// The offscreen platform cannot raise a window and says so at every show; the rest of the
// toolkit's messages go to the test log as usual.
QtMessageHandler testLogHandler = nullptr;

void QuietAboutRaise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message == QLatin1String("This plugin does not support raise()")) return;
    testLogHandler(type, context, message);
}

// Performs an action on the program and the model; fails the test on a difference.
#define MODEL_STEP(sequence, ...) QVERIFY2((sequence).Do(__VA_ARGS__), qPrintable((sequence).failure()))

constexpr int RandomSequences = 30;
constexpr int ActionsPerSequence = 300;
constexpr int LongSequences = 6;
constexpr int ActionsPerLongSequence = 2000;

}  // namespace

class ModelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        harness::PrepareSuite();
        testLogHandler = qInstallMessageHandler(QuietAboutRaise);
        baseSeed_ = BaseSeed();
        qInfo("base seed %llu (set TARVONIX_MODEL_SEED to repeat)", static_cast<unsigned long long>(baseSeed_));
    }

    void cleanup() { harness::ResetProgram(); }

    // Many short sequences of players of every temperament (level windows opened side by
    // side, passes broken off, the menu left early, windows closed from the title bar), then
    // longer ones of a keen player, whose passes run to completion.
    void randomSequencesMatchTheModel_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("actions");
        QTest::addColumn<bool>("keen");
        for (int i = 0; i < RandomSequences + LongSequences; ++i) {
            const quint64 seed = baseSeed_ + static_cast<quint64>(i);
            const bool keen = i >= RandomSequences;
            const int actions = keen ? ActionsPerLongSequence : ActionsPerSequence;
            QTest::addRow("seed %llu, %d actions", static_cast<unsigned long long>(seed), actions)
                << seed << actions << keen;
        }
    }

    void randomSequencesMatchTheModel() {
        QFETCH(quint64, seed);
        QFETCH(int, actions);
        QFETCH(bool, keen);
        QRandomGenerator random(static_cast<quint32>(seed) ^ static_cast<quint32>(seed >> 32));
        const std::array<const Temperament*, 3> temperaments{&Restless, &Ordinary, &Keen};
        const Temperament& temperament = keen ? Keen : *temperaments[random.bounded(3)];
        Sequence sequence(seed, Rerun());
        QVERIFY2(sequence.CheckStart(), qPrintable(sequence.failure()));
        for (int i = 0; i < actions && !runtime::HasEnded(); ++i)
            MODEL_STEP(sequence, ChooseAction(sequence.model(), temperament, random));
        if (runtime::HasEnded()) {
            QCOMPARE(sequence.model().LoadedCount(), 0);
            QCOMPARE(runtime::ExitStatus(), 0);
        }
    }

    // One level played through: 200 questions answered, then the completing press. Another
    // level window, loaded first, waits at Start meanwhile; its first press comes after the
    // completion, with QuestionNo already past 200, and completes it at once. Then the way out.
    void aWholePassRunsToCompletion() {
        const quint64 seed = baseSeed_ + 1000;
        QRandomGenerator random(static_cast<quint32>(seed));
        const int level = 1 + static_cast<int>(random.bounded(5));
        const int waiting = level % 5 + 1;
        Sequence s(seed, Rerun());
        QVERIFY2(s.CheckStart(), qPrintable(s.failure()));
        MODEL_STEP(s, {Kind::LevelButton, MenuForm, waiting});
        MODEL_STEP(s, {Kind::LevelButton, MenuForm, level});

        int right = 0;
        for (int question = 1; question <= 200; ++question) {
            const bool byKey = random.bounded(40) == 0;
            const char startOrNext = question == 1 ? 'S' : 'N';
            MODEL_STEP(s, byKey ? Action{Kind::AccessKey, level, 0, startOrNext} : Action{Kind::Next, level});
            QCOMPARE(QuestionNo.value(), question);
            // A press of the locked Next, or of an answer button after the answer, does nothing.
            if (random.bounded(10) == 0) MODEL_STEP(s, {Kind::Next, level});
            const int correct = s.model().correctOption;
            const int option = random.generateDouble() < 0.7 ? correct : 1 + (correct + static_cast<int>(random.bounded(3))) % 4;
            right += option == correct ? 1 : 0;
            MODEL_STEP(s, {Kind::Answer, level, option});
            if (random.bounded(10) == 0)
                MODEL_STEP(s, {Kind::Answer, level, 1 + static_cast<int>(random.bounded(4))});
        }
        QCOMPARE(Marks.value(), right);

        // The completing press, then nothing in the window reacts but Exit.
        MODEL_STEP(s, {Kind::Next, level});
        QCOMPARE(RealLevel(level)->ui.lblcomplete->text(), QStringLiteral("Level %1 completed").arg(level));
        MODEL_STEP(s, {Kind::Next, level});
        for (int option = 1; option <= 4; ++option) MODEL_STEP(s, {Kind::Answer, level, option});
        MODEL_STEP(s, {Kind::AccessKey, level, 0, 'N'});

        // The waiting window's Start now completes it at once.
        MODEL_STEP(s, {Kind::Next, waiting});
        QCOMPARE(QuestionNo.value(), 202);
        QCOMPARE(RealLevel(waiting)->ui.lblcomplete->text(), QStringLiteral("Level %1 completed").arg(waiting));
        QCOMPARE(RealLevel(waiting)->ui.cmdNext->text(), QStringLiteral("&Start"));

        // Out through the About box; the level windows keep the program running until the last goes.
        MODEL_STEP(s, {Kind::MenuExit, MenuForm});
        MODEL_STEP(s, {Kind::AboutOk, AboutForm});
        MODEL_STEP(s, {Kind::Quit, level});
        QVERIFY(!runtime::HasEnded());
        MODEL_STEP(s, {Kind::WindowManagerClose, waiting});
        QVERIFY(runtime::HasEnded());
        QCOMPARE(runtime::ExitStatus(), 0);
    }

    void cleanupTestCase() {
        qInstallMessageHandler(testLogHandler);
        qInfo("%d actions compared with the model (%d by access key, %d window-manager closes); "
              "%d level windows loaded, %d levels completed, up to %d level windows open at once, "
              "%d sequences ran until the program ended",
              tally.actions, tally.accessKeys, tally.windowManagerCloses, tally.levelLoads, tally.completions,
              tally.mostLevelWindowsOpen, tally.programEnds);
    }

private:
    QString Rerun() const {
        QString row = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag()) row += QLatin1Char(':') + QString::fromLatin1(QTest::currentDataTag());
        return QStringLiteral("TARVONIX_MODEL_SEED=%1 test_model '%2'").arg(baseSeed_).arg(row);
    }

    quint64 baseSeed_ = 0;
};

QTEST_MAIN(ModelTest)
#include "test_model.moc"
