#pragma once
// The numbers that join the scan model to the main window: a node's PageIndex names a page of
// the result notebook, its ImageIndex an image of the tree's image list, and a rating picks
// images of the hit image list. Stored documents hold these numbers, so they never change.

#include "platform/rtl/Classes.h"

/// Pages of the main window's result notebook, by index.
enum TResultPage : Longint {
    pgBlank = 0,
    pgQuorvex = 1, ///< the document's summary
    pgProject = 2,
    pgModule = 3, ///< a module's hit list
    pgVBX = 4,    ///< a custom-control file
    pgMDB = 5,
    pgMDBObject = 6, ///< a database object's hit list
};

/// Images of the tree's image list, by index.
enum TNodeImage : Longint {
    imDocument = 0,
    imProject = 1,
    // Modules by kind, without hits.
    imForm = 2,
    imCodeModule = 3,
    imClass = 4,
    imUserControl = 5,
    imVBX = 6,
    // The same four with hits.
    imFormHits = 7,
    imCodeModuleHits = 8,
    imClassHits = 9,
    imUserControlHits = 10,
    // Database objects by kind, without hits.
    imTable = 11,
    imQuery = 12,
    imMDBForm = 13,
    imMDBReport = 14,
    imMacro = 15,
    imMDBModule = 16,
    imIMEXSpec = 17,
    // The same seven with hits.
    imTableHits = 18,
    imQueryHits = 19,
    imMDBFormHits = 20,
    imMDBReportHits = 21,
    imMacroHits = 22,
    imMDBModuleHits = 23,
    imIMEXSpecHits = 24,
    imMDB = 25,
};

/// How far a kind's image with hits lies after its image without.
constexpr Longint ModuleHitsStep = imFormHits - imForm;
constexpr Longint MDBObjectHitsStep = imTableHits - imTable;
static_assert(ModuleHitsStep == 5 && MDBObjectHitsStep == 7);

/// Images of the hit image list: no state image, the state images of the ratings (the rating +
/// StateImageBase) and the ratings' pictures on the summary pages (the rating + RatingPictureBase).
constexpr int NoState = 0;
constexpr int StateImageBase = 1;
constexpr int RatingPictureBase = 4;

/// The state image of a rating (ctNo, ctMayBe, ctYes).
constexpr int StateImage(int Compliant) {
    return Compliant + StateImageBase;
}
/// The summary pages' picture of a rating.
constexpr int RatingPicture(int Compliant) {
    return Compliant + RatingPictureBase;
}

/// Images of the main window's 32 x 32 list, which the hit report draws, by index. The first
/// eleven are the tree's (imDocument to imUserControlHits), so that a project's or a module's
/// ImageIndex picks its large image too.
enum TLargeImage : Longint {
    liKeyword = 11,
    liRatingNo = 12, ///< the ratings' pictures: this + the rating (ctNo, ctMayBe, ctYes)
    liReport = 15,
    // Database objects with hits, in the tree's order of kinds (tables first, import/export
    // setups last).
    liTableHits = 16,
    liIMEXSpecHits = 22,
    liMDB = 23,
    LargeImageCount = 24,
};
static_assert(liIMEXSpecHits - liTableHits == imIMEXSpecHits - imTableHits);

/// The large picture of a rating (ctNo, ctMayBe, ctYes).
constexpr Longint RatingLargeImage(int Compliant) {
    return liRatingNo + Compliant;
}
/// The large image of a database object with hits, from its tree image (imTableHits to
/// imIMEXSpecHits): the large list holds these kinds two places before the tree does.
constexpr Longint MDBObjectLargeImage(Longint TreeImage) {
    return TreeImage - (Longint{imTableHits} - Longint{liTableHits});
}
