// The fill command, OK and Cancel. The work itself is the shared fill pipeline, the
// same code the command line runs; the window feeds it the panel's options and the
// view, shows its messages and shows the saved picture in the view. A finished fill
// is never dropped without the user's word: a failed or stopped fill keeps the one
// before it, and OK that cannot copy the picture keeps the window open.

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cerrno>
#include <system_error>

#include "app/drawing_view.h"
#include "app/form1.h"
#include "app/options_panel.h"
#include "app/region_panel.h"
#include "common/file_copy.h"
#include "display/canvas/canvas.h"

namespace veldra {

namespace {

const char* const kNothingToPlaceQuestion =
    "配置する画像がありません。画像を作成せずに終了しますか？";
const char* const kDiscardQuestion = "作成した画像は配置されません。破棄して終了しますか？";
const char* const kKeptEarlierNote = "前回作成した画像はそのまま残しています";
const char* const kEarlierLostNote =
    "前回作成した画像も残せませんでした（配置する画像はありません）";
// The earlier picture waits here while a new fill runs (program folder).
const char* const kKeptImageName = "rw47_keep.BMP";

QString ProblemText(TFileProblem problem) {
    switch (problem) {
        case TFileProblem::Missing:
            return QStringLiteral("保存先のフォルダまたは一時ファイルがありません");
        case TFileProblem::NotRegular:
            return QStringLiteral("同じ名前のフォルダなど、通常のファイルでないものがあります");
        case TFileProblem::TooLarge:
            return QStringLiteral("ファイルが大きすぎます");
        case TFileProblem::SameFile:
            return QStringLiteral("コピー元と同じファイルです");
        case TFileProblem::ReadFailed:
            return QStringLiteral("一時ファイルを読み込めませんでした");
        case TFileProblem::WriteFailed:
            return QStringLiteral(
                "書き込めませんでした（書き込みの権限がないか、ディスクの空きが足りません）");
        case TFileProblem::None:
            break;
    }
    return {};
}

}  // namespace

QString FileProblemMessage(TFileProblem problem, int systemError) {
    QString reason = ProblemText(problem);
    if (systemError != 0) {
        const QString system = QString::fromStdString(std::generic_category().message(systemError));
        reason = reason.isEmpty() ? system : reason + QStringLiteral("：") + system;
    }
    return reason;
}

// What a running fill keeps for its end: its options and view, and the fill before it
// with the copy of its picture that waits beside the temporary bitmap.
struct TForm1::TFillRun {
    TFillOptions options;
    TViewState view;
    TFillHandBack earlier;
    QString earlierStatus;
    std::filesystem::path keptPath;
    bool earlierKept = false;
};

// The buttons' handlers forward to the work.
void TForm1::Button3Click() {
    OnFillRequested();
}

void TForm1::Button1Click() {
    OnOkRequested();
}

void TForm1::Button2Click() {
    OnCancelRequested();
}

// The fill runs on its own thread like a region build: the status line shows how far
// it is, Escape stops it at its next poll, and the window stays usable meanwhile
// (the options and regions it reads stay as they are until it is done).
void TForm1::OnFillRequested() {
    if (!attributes_ || working_ == TWorkKind::Fill) return;
    auto run = std::make_shared<TFillRun>();
    run->options = PanelFillOptions();
    if (!ConfirmPictureSize(run->options)) return;
    // The fill builds its own regions and brings them back for the view.
    regions_->previewTimer->stop();
    if (working_ == TWorkKind::RegionBuild) {
        work_.Abandon();
        WorkEnded();
    }
    Panel2_->ShowOutputPath(QString());
    // The picture has the paint box's size.
    TViewState& view = drawing_->View();
    view.viewWidth = PaintBox1_->width();
    view.viewHeight = PaintBox1_->height();
    run->view = view;

    // The earlier fill waits beside the temporary bitmap until this one is done.
    run->earlier = handBack_;
    run->earlierStatus = pictureStatus_;
    run->keptPath = ProgramFolder_ / kKeptImageName;
    RemoveFileOrLink(run->keptPath);
    if (!run->earlier.Empty()) {
        run->earlierKept = CopyFileWithDate(veldra::TempImagePath(ProgramFolder_), run->keptPath) ==
                           TFileProblem::None;
    }

    LabelA1_->setText(QStringLiteral("作図中です…（Esc キーで中止）"));
    WorkStarted(TWorkKind::Fill);
    const TJwwEntityStore& store = store_;
    auto attributes = std::make_shared<const TgraAttribute>(*attributes_);
    const std::filesystem::path folder = ProgramFolder_;
    work_.Start(
        [this, run, &store, attributes, folder](const TWorkContext& context) -> TWorkDone {
            TFillSession session{store, *attributes, run->view, folder, context.stop};
            session.regionProgress = [&context](double done) { context.progress(0, done); };
            session.progress = [&context](double done) {
                context.progress(1, done);
                return context.stop();
            };
            auto made = std::make_shared<TFillHandBack>();
            auto result =
                std::make_shared<TFillResult>(RunFillCommand(run->options, session, *made));
            return [this, run, result, made] { FillDone(*run, *result, *made); };
        },
        [this](int stage, double done) {
            // Escape held while the key events go elsewhere: the platform's key state,
            // read here on the window's thread.
            if (escapePoll_.IsEscapeDown()) return StopWork();
            if (work_.Stopping()) return;
            const QString what =
                stage == 0 ? QStringLiteral("領域を作成中です…") : QStringLiteral("作図中です…");
            const QString howFar =
                done < 0 ? QString() : QStringLiteral(" %1％").arg(static_cast<int>(done * 100));
            LabelA1_->setText(what + howFar + QStringLiteral("（Esc キーで中止）"));
        },
        [this, run] {
            TFillResult failed;
            failed.status = TFillStatus::SaveFailed;
            failed.message = kSaveFailedMessage;
            failed.arcDivisions = run->options.arcDivisions;
            FillDone(*run, failed, TFillHandBack{});
        });
}

void TForm1::FillDone(const TFillRun& run, TFillResult& result, const TFillHandBack& made) {
    WorkEnded();
    const TFillHandBack& earlier = run.earlier;
    const std::filesystem::path& keptPath = run.keptPath;
    handBack_ = made;
    Panel2_->ShowArcDivisions(result.arcDivisions);
    if (result.Ok()) {
        RemoveFileOrLink(keptPath);
        // The view shows the picture as saved, at its colour depth, until the next
        // redraw; when the view moved meanwhile the picture no longer fits it.
        const TViewState& now = View();
        const bool sameView =
            now.viewLeft == run.view.viewLeft && now.viewBottom == run.view.viewBottom &&
            now.viewScale == run.view.viewScale && PaintBox1_->width() == run.view.viewWidth &&
            PaintBox1_->height() == run.view.viewHeight;
        if (sameView) {
            drawing_->ShowPicture(result.picture);
        }
        TRegionTint shown = TintOfReport(result.regions);
        regions_->Accept(std::move(result.regions), std::move(shown));
        ShowRegionReport(true);
        pictureStatus_ = PictureStatusText(result);
        LabelA1_->setText(LabelA1_->text() + QStringLiteral("\u3000") + pictureStatus_);
    } else {
        const QString stopped = result.status == TFillStatus::Cancelled
                                    ? QStringLiteral("作図を中止しました")
                                    : QStringLiteral("作図できませんでした");
        handBack_ = TFillHandBack{};
        pictureStatus_.clear();
        if (!earlier.Empty()) {
            // Back as it was: the picture file, OK's path and placement, the status line.
            const bool restored =
                run.earlierKept &&
                CopyFileWithDate(keptPath, veldra::TempImagePath(ProgramFolder_)) ==
                    TFileProblem::None;
            if (restored) {
                handBack_ = earlier;
                pictureStatus_ = run.earlierStatus;
                LabelA1_->setText(stopped + QStringLiteral("（") +
                                  QString::fromUtf8(kKeptEarlierNote) + QStringLiteral("）\u3000") +
                                  run.earlierStatus);
            } else {
                RemoveTempImage(ProgramFolder_);
                drawing_->PictureGone();
                RedrawView();  // the earlier picture is gone from the view too
                LabelA1_->setText(stopped + QStringLiteral("（") +
                                  QString::fromUtf8(kEarlierLostNote) + QStringLiteral("）"));
            }
        } else {
            LabelA1_->setText(result.status == TFillStatus::Cancelled ? stopped
                                                                      : QStringLiteral("\u3000"));
        }
        RemoveFileOrLink(keptPath);
    }
    Panel2_->ShowOutputPath(QString::fromStdString(handBack_.outputPath));
    ImageOriginX_ = handBack_.ImageOriginX;
    ImageOriginY_ = handBack_.ImageOriginY;
    ImageWidth_ = handBack_.ImageWidth;
    if (!result.message.empty()) dialogs_->ShowError(this, FillMessage(result, run.options));
}

// Long work on its thread keeps the window usable, but what would start another build
// or a fill waits: during a fill everything it reads, during a region build the
// buttons that start one.
void TForm1::WorkStarted(TWorkKind kind) {
    working_ = kind;
    const bool fill = kind == TWorkKind::Fill;
    Panel2_->SetFillRunning(fill);
    Panel2_->SetFillEnabled(false);
    regions_->preview->setEnabled(false);
    Panel1_->setEnabled(!fill);
}

void TForm1::WorkEnded() {
    working_ = TWorkKind::None;
    regions_->preview->setEnabled(true);
    Panel1_->setEnabled(true);
    Panel2_->SetFillRunning(false);
    Panel2_->SetFillEnabled(true);
}

void TForm1::StopWork() {
    if (working_ == TWorkKind::RegionBuild) {
        work_.Abandon();
        WorkEnded();
        regions_->pendingPick.reset();
        LabelA1_->setText(QStringLiteral("領域の作成を中断しました"));
    } else if (working_ == TWorkKind::Fill && !work_.Stopping()) {
        work_.Stop();
        LabelA1_->setText(QStringLiteral("作図を中止しています…"));
    }
}

QString TForm1::PictureStatusText(const TFillResult& result) {
    const QString resolution = result.pictureDpi == 0
                                   ? QStringLiteral("画面と同じ解像度")
                                   : QStringLiteral("%1 dpi").arg(result.pictureDpi);
    return QStringLiteral("保存画像 %1 × %2 ピクセル（%3）")
        .arg(result.pictureWidth)
        .arg(result.pictureHeight)
        .arg(resolution);
}

// After a fill the status line gives the regions filled, the open ends and the
// picture saved; a stopped fill says so.
void TForm1::ShowPictureStatus(const TFillResult& result) {
    if (result.status == TFillStatus::Cancelled) {
        LabelA1_->setText(QStringLiteral("作図を中止しました"));
    } else if (result.Ok()) {
        LabelA1_->setText(PictureStatusText(result));
    } else {
        LabelA1_->setText(QStringLiteral("\u3000"));
    }
    LabelA1_->repaint();
}

// OK: the picture goes to its output file and its placement to the host. Without a
// picture the user is asked first; a copy that fails keeps the window and the fill,
// says why and offers another name.
void TForm1::OnOkRequested() {
    if (working_ == TWorkKind::Fill) return;  // the fill decides what there is to place
    if (handBack_.Empty()) {
        if (!dialogs_->Ask(this, QString::fromUtf8(kNothingToPlaceQuestion))) return;
        CloseDecided();
        return;
    }
    // OK adds to the drawing's hand-back: no build may still read the drawing.
    if (working_ == TWorkKind::RegionBuild) WorkEnded();
    work_.AbandonAndJoinAll();
    errno = 0;
    const TConfirmResult confirmed = ConfirmFill(handBack_, ProgramFolder_, store_);
    const int systemError = errno;
    if (!confirmed.message.empty()) {
        const QString path =
            QFileInfo(QString::fromStdString(handBack_.outputPath)).absoluteFilePath();
        QString text = QString::fromStdString(confirmed.message) + QStringLiteral("\n") +
                       QDir::toNativeSeparators(path);
        const QString reason = FileProblemMessage(
            confirmed.problem, confirmed.problem == TFileProblem::None ? 0 : systemError);
        if (!reason.isEmpty()) text += QStringLiteral("\n理由：") + reason;
        text += QStringLiteral("\n\n別の画像ファイル名を指定して下さい。");
        dialogs_->ShowError(this, text);
        OfferAnotherOutput(path);
        return;
    }
    CloseDecided();
}

void TForm1::OfferAnotherOutput(const QString& failedPath) {
    const QFileInfo failed(failedPath);
    const std::optional<QString> chosen =
        dialogs_->ChooseOutput(this, failed.path(), failed.fileName());
    if (!chosen) return;
    TFillHandBack retargeted = handBack_;
    if (const char* refusal = RetargetHandBack(retargeted, chosen->toStdString(), ProgramFolder_)) {
        dialogs_->ShowError(this, QString::fromUtf8(refusal) + QStringLiteral("\n") + *chosen);
        return;
    }
    handBack_ = retargeted;
    Panel2_->SetOutputName(*chosen);
    Panel2_->ShowOutputPath(*chosen);
    LabelA1_->setText(QStringLiteral("画像ファイル名を変更しました。ＯＫで配置します\u3000") +
                      pictureStatus_);
}

void TForm1::CloseDecided() {
    closeDecided_ = true;
    LabelA1_->setText(QStringLiteral("ファイル生成中です"));
    LabelA1_->repaint();
    if (!close()) closeDecided_ = false;
}

void TForm1::OnCancelRequested() {
    closeDecided_ = true;
    if (!close()) closeDecided_ = false;
}

// The close box after a fill asks before the picture is dropped.
bool TForm1::MayClose() {
    if (closeDecided_ || handBack_.Empty()) return true;
    return dialogs_->Ask(this, QString::fromUtf8(kDiscardQuestion));
}

// The fill's message with the file it is about, and the character a path cannot carry.
QString TForm1::FillMessage(const TFillResult& result, const TFillOptions& options) const {
    QString text = QString::fromStdString(result.message);
    const QString output = QString::fromStdString(options.outputName);
    if (result.status == TFillStatus::PathRefused && output.contains(u',')) {
        text += QStringLiteral("\n使用できない文字：「,」（コンマ）");
    }
    switch (result.status) {
        case TFillStatus::PathRefused:
        case TFillStatus::SaveFailed:
            text += QStringLiteral("\n") + QDir::toNativeSeparators(output);
            break;
        case TFillStatus::TextureUnreadable:
            text += QStringLiteral("\n") +
                    QDir::toNativeSeparators(QString::fromStdString(options.texturePath));
            break;
        default:
            break;
    }
    return text;
}

}  // namespace veldra
