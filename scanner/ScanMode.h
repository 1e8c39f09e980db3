#pragma once
// How a scan treats its hits: the "Scan mode" group of the scan wizard and of the folder-search
// wizard, which hands its choice on to the scan wizard. The values are the groups' item indexes.

/// How a scan treats its hits.
enum TScanMode : int {
    smManual = 0,    ///< every hit is shown in the hit prompt, to accept or reject
    smAutomatic = 1, ///< every hit is accepted as the scan found it, without asking
};
