#include "VDS/source/AudioOut.h"

// The native build has no sound output: the player runs its clock by itself.
CAudioDevice* PlatformAudioDevice()
{
    static CNullAudioDevice device;
    return &device;
}
