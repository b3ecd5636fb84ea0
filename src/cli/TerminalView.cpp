#include "cli/TerminalView.h"

#include "settings/Mnemonics.h"
#include "songlist/SongListModel.h"
#include "text/NumericPrefix.h"
#include "text/SizeTexts.h"

#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cmath>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Nobody may be reading the error output any more: a copy goes on all the same.
void put(const QString& text, int fd = STDERR_FILENO) {
    const QByteArray bytes = text.toUtf8();
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return;
        done += wrote;
    }
}

QString duration(qint64 seconds) {
    const auto two = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return seconds >= 3600 ? QString::number(seconds / 3600) + u':' + two(seconds / 60 % 60) +
                                 u':' + two(seconds % 60)
                           : QString::number(seconds / 60) + u':' + two(seconds % 60);
}

int terminalWidth() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// Keys one at a time, unseen, for as long as it lives.
class SingleKeys {
public:
    explicit SingleKeys(int fd) : fd_(fd), set_(::tcgetattr(fd, &before_) == 0) {
        if (!set_)
            return;
        termios keys = before_;
        keys.c_lflag &= ~tcflag_t(ICANON | ECHO);
        keys.c_cc[VMIN] = 1;
        keys.c_cc[VTIME] = 0;
        (void)::tcsetattr(fd_, TCSANOW, &keys);
    }
    ~SingleKeys() {
        if (set_)
            (void)::tcsetattr(fd_, TCSANOW, &before_);
    }
    SingleKeys(const SingleKeys&) = delete;
    SingleKeys& operator=(const SingleKeys&) = delete;

private:
    int fd_;
    termios before_{};
    bool set_;
};

} // namespace

TerminalView::TerminalView(const LanguageTable& language, const std::vector<SongRow>& rows,
                           HeldSignals& held, int promptFd, bool redraw)
    : language_(language), signals_(held), promptFd_(promptFd), redraw_(redraw) {
    before_.push_back(0);
    for (const SongRow& row : rows)
        if (row.Ticked)
            before_.push_back(before_.back() +
                              qint64(std::llround(NumericPrefix(row.Texts[Column::Bytes]))));
    total_ = int(before_.size()) - 1;
    clock_.start();
}

void TerminalView::ShowCopying(const QString&) {
    // The progress line counts the songs itself.
}

void TerminalView::SongStarted(int number) {
    song_ = std::clamp(number, 1, std::max(total_, 1));
    songBytes_ = 0;
    songNamed_ = true;
}

void TerminalView::ShowCurrentFile(const QString& text) {
    // The run's closing summary comes this way too; the commands say their own.
    if (!std::exchange(songNamed_, false))
        return;
    label_ = text;
    draw();
}

void TerminalView::ShowProgress(int maximum, int value) {
    // A song ended; the run's last call only fills the window's bar.
    if (maximum != total_ || value <= done_ || value > total_)
        return;
    done_ = value;
    songBytes_ = 0;
    songEnded(value);
    draw();
}

void TerminalView::songEnded(int n) {
    if (!engine_)
        return;
    QString outcome;
    if (engine_->CopiedCount() > copied_)
        outcome = language_.Entry(Text::Copied);
    else if (engine_->SkippedCount() > skipped_)
        outcome = language_.Entry(Text::Skipped);
    else if (engine_->Failures().size() > failed_)
        outcome = language_.Entry(Text::Failed);
    copied_ = engine_->CopiedCount();
    skipped_ = engine_->SkippedCount();
    failed_ = engine_->Failures().size();
    if (redraw_ || outcome.isEmpty())
        return;
    QString line = QStringLiteral("%1/%2 %3: %4").arg(n).arg(total_).arg(outcome, label_);
    if (outcome == language_.Entry(Text::Failed))
        line += QStringLiteral(" (") + engine_->Failures().back().Reason + u')';
    put(line + u'\n');
}

void TerminalView::ShowError(const QString&) {
    // Each failed song is named with its reason when the run ends.
}

void TerminalView::ShowMessage(const QString& text) {
    clearLine();
    put(text + u'\n');
}

bool TerminalView::takeSignal() {
    if (const int taken = signals_.Take(); taken != 0 && signal_ == 0) {
        signal_ = taken;
        if (engine_)
            engine_->Stop();
    }
    return signal_ != 0;
}

void TerminalView::ProcessEvents() {
    takeSignal();
    draw();
}

void TerminalView::ShowSongProgress(qint64 copied) {
    songBytes_ = copied;
    draw();
}

PromptAnswer TerminalView::AskOverwrite(const OverwriteQuestion& question) {
    if (promptFd_ < 0 || takeSignal())
        return PromptAnswer::None; // the file stays
    const std::pair<Text, PromptAnswer> answers[] = {{Text::Yes, PromptAnswer::Yes},
                                                     {Text::YesToAll, PromptAnswer::YesAll},
                                                     {Text::No, PromptAnswer::No},
                                                     {Text::NoToAll, PromptAnswer::NoAll}};
    QStringList plain;
    for (const auto& answer : answers)
        plain << language_.Entry(answer.first);
    // A letter of each answer's own words, as the menus choose theirs: "[Y]es, Y[e]s to All".
    const QStringList marked = WithMnemonics(plain);
    QStringList keys;
    QStringList shown;
    for (const QString& text : marked) {
        const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        keys << (at >= 0 ? text.mid(at + 1, 1).toCaseFolded() : QString());
        QString choice = text;
        if (at >= 0)
            choice.replace(at, 2, u'[' + text.mid(at + 1, 1) + u']');
        shown << choice.replace(QStringLiteral("&&"), QStringLiteral("&"));
    }
    // On the terminal itself, which the error output need not be.
    clearLine();
    put(language_.Entry(Text::FileExistsQuestion) + QStringLiteral("\n  ") + question.FileName +
            QStringLiteral("\n  ") + language_.Entry(Text::AlreadyThere) + u' ' +
            question.There.Text() + QStringLiteral("\n  ") + language_.Entry(Text::ReplaceWith) +
            u' ' + question.Incoming.Text() + u'\n' + shown.join(QStringLiteral(", ")) +
            QStringLiteral(" (Enter: ") + plain[2] + QStringLiteral(")? "),
        promptFd_);

    const SingleKeys single(promptFd_);
    QElapsedTimer asking; // time spent waiting for the user is no time spent copying
    asking.start();
    PromptAnswer chosen = PromptAnswer::None;
    QString said;
    while (chosen == PromptAnswer::None) {
        pollfd wait{promptFd_, POLLIN, 0};
        const int ready = ::poll(&wait, 1, 100);
        if (takeSignal())
            break;
        if (ready <= 0)
            continue;
        char key = 0;
        if (::read(promptFd_, &key, 1) != 1)
            break; // the terminal is gone: the file stays
        // One key press never replaces a file: Enter keeps it.
        if (key == '\n' || key == '\r') {
            chosen = PromptAnswer::No;
            said = plain[2];
            continue;
        }
        const qsizetype i = keys.indexOf(QString(QChar::fromLatin1(key)).toCaseFolded());
        if (i >= 0 && !keys[i].isEmpty()) {
            chosen = answers[i].second;
            said = plain[i];
        }
    }
    put(said + u'\n', promptFd_);
    waited_ += asking.elapsed();
    return chosen;
}

void TerminalView::draw() {
    if (!redraw_)
        return;
    const qint64 at = clock_.elapsed();
    if (drawnAt_ >= 0 && at - drawnAt_ < 200)
        return;
    drawnAt_ = at;
    const int current = std::max(song_, done_);
    const qint64 songSize = current > 0 && current <= total_
                                ? before_[size_t(current)] - before_[size_t(current - 1)]
                                : 0;
    const qint64 bytes = done_ >= current
                             ? before_[size_t(done_)]
                             : before_[size_t(current - 1)] + std::min(songBytes_, songSize);
    const double seconds = double(at - waited_) / 1000.0;
    QString line = QStringLiteral("%1/%2  %3 / %4")
                       .arg(done_)
                       .arg(total_)
                       .arg(FormatFileSize(double(bytes)), FormatFileSize(double(before_.back())));
    if (seconds >= 1 && bytes > 0) {
        const double speed = double(bytes) / seconds;
        line += QStringLiteral("  %1/s  %2 left")
                    .arg(FormatFileSize(speed),
                         duration(qint64(double(before_.back() - bytes) / speed + 0.5)));
    }
    line += QStringLiteral("  ") + label_;
    // A line longer than the terminal would wrap, and the next one could not replace it.
    const int width = std::max(terminalWidth() - 1, 1);
    if (line.size() > width)
        line.truncate(line[width - 1].isHighSurrogate() ? width - 1 : width);
    put(u'\r' + line + QStringLiteral("\x1b[K"));
    lineShown_ = true;
}

void TerminalView::clearLine() {
    if (std::exchange(lineShown_, false))
        put(QStringLiteral("\r\x1b[K"));
}

void TerminalView::Finish() {
    clearLine();
}
