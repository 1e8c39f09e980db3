#pragma once
// The scanner's pictures, drawn in code: tree, state and report images, toolbar glyphs and the
// program's icon.

#include <QIcon>
#include <QPixmap>

class TImageList;

/// Toolbar and window pictures.
enum class TGlyph {
    Exit,
    New,
    Open,
    Save,
    Scan,
    ScanDirectory,
    Print,
    Export,
    KeyWords,
    ExcludeWords,
    Options,
    Help,
};

/// A toolbar glyph of Size x Size pixels.
QPixmap DrawGlyph(TGlyph Glyph, int Size = 16);
/// The program's icon: a document under a magnifying glass.
QIcon ProgramIcon();
/// The picture of the splash and about windows, Size x Size pixels.
QPixmap ProgramPicture(int Size);

/// The tree's 26 images of 16 x 16: 0 document, 1 project, 2 to 5 modules (form, code module,
/// class, user control), 6 custom-control file, 7 to 10 the four modules with hits, 11 to 17
/// database objects (table, query, form, report, macro, module, import/export specification), 18 to 24 the
/// same with hits, 25 database.
void FillTreeImages(TImageList& List);
/// The 7 images of 16 x 16 for ratings: 0 unused, 1 to 3 the state marks No, Maybe, Yes, 4 to 6
/// the pictures No, Maybe, Yes of the summary pages.
void FillHitImages(TImageList& List);
/// The images of 32 x 32 the hit report draws, at the places TLargeImage names: the tree's first
/// eleven, a keyword, the ratings No, Maybe, Yes, a report, database objects with hits (table to
/// import/export specification) and the database.
void FillLargeImages(TImageList& List);

/// The side picture of the folder-search wizard, 118 x 280 pixels in 256 colours: a folder tree
/// searched with a magnifying glass on a blue ground.
QPixmap WizardPicture();
