// Command ids of the editor's own commands.
#pragma once

#define ID_LOG_COPY 5685
#define ID_LOG_CLEAR 5686

// The options sheet and its pages.
#define ID_APP_OPTIONS 32777
#define IDD_OPTIONS_IMPORT_EXPORT 142
#define IDD_OPTIONS_FORMAT 146
