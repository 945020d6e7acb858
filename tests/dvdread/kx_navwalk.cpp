// kx_navwalk: plays a DVD-Video folder with libdvdnav, as a player would, and
// reports the first cell that plays: from the First Play, or, with BUTTON,
// after that button of the first title-set menu that shows buttons was
// activated.
//
//   kx_navwalk DIR [BUTTON]
//
// Output: one line "cell dom=fp|vmgm|vtsm|vts vts= pgn= cell= sectors=" (vts
// 0 for the VMG; sectors: the cell's length). Exit status 0 on success, 1
// when the disc cannot be opened or stops before such a cell plays, 2 on a
// usage error.
#include <dvdnav/dvdnav.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// A player that never gets there has followed a loop.
const long kMaxEvents = 200000;

const char* DomainName(dvdnav_t* nav)
{
    if (dvdnav_is_domain_fp(nav))
        return "fp";
    if (dvdnav_is_domain_vmgm(nav))
        return "vmgm";
    if (dvdnav_is_domain_vtsm(nav))
        return "vtsm";
    return "vts";
}

int Walk(dvdnav_t* nav, int button)
{
    uint8_t block[DVD_VIDEO_LB_LEN];
    int vts = 0;
    bool activated = button == 0;
    bool skippedChooser = false;
    for (long n = 0; n < kMaxEvents; ++n)
    {
        int32_t event = 0;
        int32_t length = 0;
        if (dvdnav_get_next_block(nav, block, &event, &length) != DVDNAV_STATUS_OK)
        {
            std::fprintf(stderr, "kx_navwalk: %s\n", dvdnav_err_to_string(nav));
            return 1;
        }
        switch (event)
        {
        case DVDNAV_VTS_CHANGE: vts = reinterpret_cast<dvdnav_vts_change_event_t*>(block)->new_vtsN; break;
        case DVDNAV_CELL_CHANGE:
        {
            // Before the button is pressed the cells are those of the way to
            // the menu.
            if (!activated)
            {
                skippedChooser = true;
                break;
            }
            const auto* cell = reinterpret_cast<dvdnav_cell_change_event_t*>(block);
            std::printf("cell dom=%s vts=%d pgn=%d cell=%d sectors=%lld\n", DomainName(nav),
                        dvdnav_is_domain_vmgm(nav) || dvdnav_is_domain_fp(nav) ? 0 : vts, cell->pgN, cell->cellN,
                        static_cast<long long>(cell->cell_length));
            return 0;
        }
        case DVDNAV_NAV_PACKET:
        {
            pci_t* pci = dvdnav_get_current_nav_pci(nav);
            if (!activated && skippedChooser && dvdnav_is_domain_vtsm(nav) && pci != nullptr &&
                pci->hli.hl_gi.btn_ns >= button)
            {
                if (dvdnav_button_select_and_activate(nav, pci, button) != DVDNAV_STATUS_OK)
                {
                    std::fprintf(stderr, "kx_navwalk: %s\n", dvdnav_err_to_string(nav));
                    return 1;
                }
                activated = true;
            }
            break;
        }
        case DVDNAV_STILL_FRAME: dvdnav_still_skip(nav); break;
        case DVDNAV_WAIT: dvdnav_wait_skip(nav); break;
        case DVDNAV_STOP: std::fprintf(stderr, "kx_navwalk: the disc stopped\n"); return 1;
        default: break;
        }
    }
    std::fprintf(stderr, "kx_navwalk: no cell after %ld events\n", kMaxEvents);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::fprintf(stderr, "usage: kx_navwalk DIR [BUTTON]\n");
        return 2;
    }
    const int button = argc == 3 ? std::atoi(argv[2]) : 0;
    if (argc == 3 && button <= 0)
    {
        std::fprintf(stderr, "usage: kx_navwalk DIR [BUTTON]\n");
        return 2;
    }
    dvdnav_t* nav = nullptr;
    if (dvdnav_open(&nav, argv[1]) != DVDNAV_STATUS_OK)
    {
        std::fprintf(stderr, "kx_navwalk: can't open %s\n", argv[1]);
        return 1;
    }
    // Titles start at their First Play and nothing is read ahead.
    dvdnav_set_readahead_flag(nav, 0);
    dvdnav_set_PGC_positioning_flag(nav, 1);
    const int status = Walk(nav, button);
    dvdnav_close(nav);
    return status;
}
