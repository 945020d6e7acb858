// Command ids of the editor's own commands.
#pragma once

#define ID_LOG_COPY 5685
#define ID_LOG_CLEAR 5686
