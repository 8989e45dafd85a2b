#pragma once
// ImageList1: the tool bar's 16 x 16 images, in their order: 1 a floppy disk, 2 a printer,
// 3 a question mark, 4 the program's icon, 5 a spanner. Each comes from the desktop's icon theme
// when it has one, else from the images bundled with the program, so no button is ever blank.
#include <QIcon>
#include <QObject>
#include <vector>

namespace kesp {

class ImageList1 : public QObject {
    Q_OBJECT
public:
    explicit ImageList1(QObject* parent = nullptr);

    int count() const { return static_cast<int>(images_.size()); }
    // Position 1 to 5.
    QIcon image(int position) const;

private:
    std::vector<QIcon> images_;
};

// The program's own icon (window, About button), from the bundle.
QIcon programIcon();

// The bundled image of position 1 to 5, ignoring the theme.
QIcon bundledImage(int position);

// The plan's button: bars in colour, bundled, whose disabled form is visibly grey (the theme's
// list icons are drawn in black alone and look the same disabled).
QIcon planImage();

} // namespace kesp
