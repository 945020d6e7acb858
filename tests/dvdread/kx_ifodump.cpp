// kx_ifodump: an independent view of a DVD-Video folder, read with libdvdread,
// for tests to compare the engine's reading and writing against.
//
//   kx_ifodump DIR          IFO tables of the VMG and every title set
//   kx_ifodump --nav DIR    navigation packs of every VOB set, found through
//                           the VOBU address maps
//
// DIR is the disc folder or its VIDEO_TS folder. Exit status 0 on success,
// 1 when the folder or one of its IFO files cannot be read (after dumping what
// could be read), 2 on a usage error.
//
// Output: one record per line, "<record> key=value key=value ...". Values hold
// no spaces. Numbers are decimal; values written 0x... are hexadecimal bit
// fields; "bytes=" and "raw=" are the bytes as stored, two lower-case hex
// digits each; lists are comma-separated. Times are the stored 32-bit BCD
// playback time (hours, minutes, seconds, frames with the rate in the top two
// bits) as 0xHHMMSSFF. Every record names its place with these keys:
//   dom  fp (first play), vmgm (VMG menus), vtsm (title-set menus),
//        vts (title-set titles)
//   vts  title-set number, 0 for the VMG
//   lu   menu language unit, from 1 (vmgm and vtsm only)
//   pgc  program chain number, from 1, in its table or language unit
//
// IFO records, in this order:
//   vmg     vts_count= titles= last_sector= ifo_last_sector= spec=0x.. category=0x........
//           first_play=0|1 provider_raw= ptl=0|1 ptl_countries=
//           (ptl: whether the parental table PTL_MAIT is present)
//   title   n= vts= ttn= chapters= angles= pb_type=0x.. parental=0x.... vts_sector=
//   vtsatrt n= last_byte= category=0x........ attrs=   (the VMG's copy of title
//           set n's attributes, the bytes after the category)
//   vtshdr  vts= last_sector= ifo_last_sector= spec=0x.. category=0x........
//           menu_vobs= title_vobs=          (sectors of the VOB sets in the VTS)
//           attrs=                          (the 0x300 attribute bytes from 0x100)
//   attr    dom= vts= kind=video|audio|subp|mcext index= raw=   (one per stream;
//           the stream counts are the "streams" record)
//   streams dom= vts= audio= subp=
//   ptt     vts= ttn= n= pgcn= pgn=
//   lu      dom= vts= lu= lang=xx|0x.... lang_ext=0x.. exists=0x.. pgcs=
//   pgc     dom= vts= [lu=] pgc= entry=0x.. ptl_mask=0x.... programs= cells= time=
//           uops=0x........ next= prev= goup= pb_mode=0x.. still= pre= post= cellcmds=
//           program_map=a,b,...  audio_ctl=hhhh,... (8)  subp_ctl=hhhhhhhh,... (32)
//           palette=hhhhhhhh,... (16)
//   cell    dom= vts= [lu=] pgc= n= cat=0x.... still= cmd= time= first= ilvu_end=
//           last_vobu= last=
//   cellpos dom= vts= [lu=] pgc= n= vob= cell=
//   cmd     dom= vts= [lu=] pgc= kind=pre|post|cell n= bytes=
//   cadt    dom= vts= vobs= count=
//   cadr    dom= vts= n= vob= cell= first= last=
//   vobumap dom= vts= count=
//   vobu    dom= vts= n= sector=
//   tmap    vts= pgc= unit= count=
//   tmapent vts= pgc= n= sector=0x........   (top bit: discontinuity)
//
// Navigation records (--nav), per VOBU in address-map order:
//   nav     dom= vts= n= sector= lbn= scr= vobu_ea= ref1= ref2= ref3= vob= cell=
//           c_eltm= pci_lbn= vobu_cat=0x.... uops=0x........ s_ptm= e_ptm= se_e_ptm=
//           e_eltm= sml_cat=0x.... ilvu_ea= ilvu_sa= ilvu_size=
//   navsri  dom= vts= n= next_video=0x........ next_vobu=0x........ prev_vobu=0x........
//           prev_video=0x........ fwd=hhhhhhhh,... (19, FWDI 1 first) bwd=... (19)
//   navsync dom= vts= n= audio=hhhh,... (8) subp=hhhhhhhh,... (32)
//   hli     dom= vts= n= ss=0x.... s_ptm= e_ptm= btn_se_e_ptm= groups= dsp=a,b,c
//           ofn= buttons= numeric= forced_select= forced_action= colors=hhhhhhhh,... (6)
//   btn     dom= vts= n= b= color= x0= x1= y0= y1= auto= up= down= left= right= cmd=
// "hli" and "btn" appear only for packs whose highlight status is not 0; "btn"
// for the valid buttons (btn_ns) only. A sector of the map that is not a
// navigation pack gives "navbad dom= vts= n= sector=".
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

std::string Hex(const uint8_t* p, size_t n)
{
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i)
    {
        std::snprintf(b, sizeof b, "%02x", p[i]);
        s += b;
    }
    return s;
}

// libdvdread's structures are packed, so arrays are copied out before use.
template <typename T, size_t N>
std::string HexList(const T (&packed)[N], int digits)
{
    T v[N];
    std::memcpy(v, packed, sizeof v);
    std::string s;
    char b[16];
    for (size_t i = 0; i < N; ++i)
    {
        std::snprintf(b, sizeof b, "%s%0*lx", i ? "," : "", digits, static_cast<unsigned long>(v[i]));
        s += b;
    }
    return s;
}

uint32_t Time(const dvd_time_t& t)
{
    return (uint32_t(t.hour) << 24) | (uint32_t(t.minute) << 16) | (uint32_t(t.second) << 8) | t.frame_u;
}

// libdvdread unpacks the user-operation word into bit fields; put it back in
// its stored bit order (bit 0 title or time play ... bit 24 video mode change).
uint32_t Uops(const user_ops_t& u)
{
    const unsigned bits[] = {u.title_or_time_play,
                             u.chapter_search_or_play,
                             u.title_play,
                             u.stop,
                             u.go_up,
                             u.time_or_chapter_search,
                             u.prev_or_top_pg_search,
                             u.next_pg_search,
                             u.forward_scan,
                             u.backward_scan,
                             u.title_menu_call,
                             u.root_menu_call,
                             u.subpic_menu_call,
                             u.audio_menu_call,
                             u.angle_menu_call,
                             u.chapter_menu_call,
                             u.resume,
                             u.button_select_or_activate,
                             u.still_off,
                             u.pause_on,
                             u.audio_stream_change,
                             u.subpic_stream_change,
                             u.angle_change,
                             u.karaoke_audio_pres_mode_change,
                             u.video_pres_mode_change};
    uint32_t w = uint32_t(u.zero) << 25;
    for (unsigned i = 0; i < sizeof bits / sizeof bits[0]; ++i)
        w |= uint32_t(bits[i] & 1) << i;
    return w;
}

// The two category bytes of a cell playback entry as stored.
unsigned CellCategory(const cell_playback_t& c)
{
    unsigned b0 = (c.block_mode << 6) | (c.block_type << 4) | (c.seamless_play << 3) | (c.interleaved << 2) |
                  (c.stc_discontinuity << 1) | c.seamless_angle;
    unsigned b1 = (c.zero_1 << 7) | (c.playback_mode << 6) | (c.restricted << 5) | c.cell_type;
    return (b0 << 8) | b1;
}

// The address tables carry no entry count: their byte length gives it.
size_t EntryCount(uint32_t lastByte, unsigned headerSize, size_t entrySize)
{
    return lastByte + 1 >= headerSize ? (size_t(lastByte) + 1 - headerSize) / entrySize : 0;
}

// Where a record belongs: "dom=.. vts=.. [lu=..]".
struct Place
{
    const char* dom;
    int vts;
    int lu; // 0: not a menu language unit
    std::string Text() const
    {
        char b[64];
        if (lu)
            std::snprintf(b, sizeof b, "dom=%s vts=%d lu=%d", dom, vts, lu);
        else
            std::snprintf(b, sizeof b, "dom=%s vts=%d", dom, vts);
        return b;
    }
};

class Dumper
{
public:
    explicit Dumper(dvd_reader_t* dvd) : dvd_(dvd) {}

    bool DumpIfo();
    bool DumpNav();

private:
    std::string RawBytes(int vts, uint32_t offset, size_t n);
    void DumpAttributes(int vts);
    void DumpPgc(const Place& where, int n, const pgc_t* pgc, uint8_t entry, uint16_t ptl);
    void DumpPgcit(const Place& where, const pgcit_t* pgcit);
    void DumpMenus(const char* dom, int vts, const pgci_ut_t* ut);
    void DumpCadt(const char* dom, int vts, const c_adt_t* cadt);
    void DumpVobuMap(const char* dom, int vts, const vobu_admap_t* map);
    bool DumpVts(int vts);
    bool DumpNavDomain(const char* dom, int vts, dvd_read_domain_t domain, const vobu_admap_t* map);

    dvd_reader_t* dvd_;
};

// Stream attributes as stored: libdvdread keeps only decoded fields, so read
// the header bytes of the IFO file itself.
std::string Dumper::RawBytes(int vts, uint32_t offset, size_t n)
{
    dvd_file_t* f = DVDOpenFile(dvd_, vts, DVD_READ_INFO_FILE);
    std::vector<uint8_t> buf(n);
    bool ok = f && DVDFileSeek(f, int32_t(offset)) == int32_t(offset) && DVDReadBytes(f, buf.data(), n) == ssize_t(n);
    if (f)
        DVDCloseFile(f);
    return ok ? Hex(buf.data(), n) : std::string("unreadable");
}

void Dumper::DumpAttributes(int vts)
{
    // Offsets of the attribute fields in the VMGI and VTSI management tables.
    struct Domain
    {
        const char* dom;
        uint32_t video, audioCount, audio, subpCount, subp;
        int maxAudio, maxSubp;
    };
    const Domain vmg[] = {{"vmgm", 0x100, 0x102, 0x104, 0x154, 0x156, 1, 1}};
    const Domain vtsd[] = {{"vtsm", 0x100, 0x102, 0x104, 0x154, 0x156, 1, 1},
                           {"vts", 0x200, 0x202, 0x204, 0x254, 0x256, 8, 32}};
    const Domain* doms = vts ? vtsd : vmg;
    int ndoms = vts ? 2 : 1;
    for (int d = 0; d < ndoms; ++d)
    {
        const Domain& D = doms[d];
        Place where{D.dom, vts, 0};
        std::string counts = RawBytes(vts, D.audioCount, 2) + RawBytes(vts, D.subpCount, 2);
        unsigned na = 0, ns = 0;
        if (counts.size() == 8)
        {
            na = std::stoul(counts.substr(0, 4), nullptr, 16);
            ns = std::stoul(counts.substr(4, 4), nullptr, 16);
        }
        std::printf("streams %s audio=%u subp=%u\n", where.Text().c_str(), na, ns);
        std::printf("attr %s kind=video index=0 raw=%s\n", where.Text().c_str(), RawBytes(vts, D.video, 2).c_str());
        for (int i = 0; i < D.maxAudio; ++i)
            std::printf("attr %s kind=audio index=%d raw=%s\n", where.Text().c_str(), i,
                        RawBytes(vts, D.audio + 8 * i, 8).c_str());
        for (int i = 0; i < D.maxSubp; ++i)
            std::printf("attr %s kind=subp index=%d raw=%s\n", where.Text().c_str(), i,
                        RawBytes(vts, D.subp + 6 * i, 6).c_str());
        if (vts && d == 1)
            for (int i = 0; i < 8; ++i)
                std::printf("attr %s kind=mcext index=%d raw=%s\n", where.Text().c_str(), i,
                            RawBytes(vts, 0x318 + 24 * i, 24).c_str());
    }
}

void Dumper::DumpPgc(const Place& where, int n, const pgc_t* pgc, uint8_t entry, uint16_t ptl)
{
    const std::string at = where.Text();
    const pgc_command_tbl_t* ct = pgc->command_tbl;
    std::string map;
    for (int i = 0; pgc->program_map && i < pgc->nr_of_programs; ++i)
        map += (i ? "," : "") + std::to_string(pgc->program_map[i]);
    if (map.empty())
        map = "-";
    std::printf("pgc %s pgc=%d entry=0x%02x ptl_mask=0x%04x programs=%d cells=%d time=0x%08x uops=0x%08x "
                "next=%d prev=%d goup=%d pb_mode=0x%02x still=%d pre=%d post=%d cellcmds=%d program_map=%s "
                "audio_ctl=%s subp_ctl=%s palette=%s\n",
                at.c_str(), n, entry, ptl, pgc->nr_of_programs, pgc->nr_of_cells, Time(pgc->playback_time),
                Uops(pgc->prohibited_ops), pgc->next_pgc_nr, pgc->prev_pgc_nr, pgc->goup_pgc_nr, pgc->pg_playback_mode,
                pgc->still_time, ct ? ct->nr_of_pre : 0, ct ? ct->nr_of_post : 0, ct ? ct->nr_of_cell : 0, map.c_str(),
                HexList(pgc->audio_control, 4).c_str(), HexList(pgc->subp_control, 8).c_str(),
                HexList(pgc->palette, 8).c_str());
    for (int i = 0; pgc->cell_playback && i < pgc->nr_of_cells; ++i)
    {
        const cell_playback_t& c = pgc->cell_playback[i];
        std::printf("cell %s pgc=%d n=%d cat=0x%04x still=%d cmd=%d time=0x%08x first=%u ilvu_end=%u "
                    "last_vobu=%u last=%u\n",
                    at.c_str(), n, i + 1, CellCategory(c), c.still_time, c.cell_cmd_nr, Time(c.playback_time),
                    c.first_sector, c.first_ilvu_end_sector, c.last_vobu_start_sector, c.last_sector);
    }
    for (int i = 0; pgc->cell_position && i < pgc->nr_of_cells; ++i)
        std::printf("cellpos %s pgc=%d n=%d vob=%d cell=%d\n", at.c_str(), n, i + 1, pgc->cell_position[i].vob_id_nr,
                    pgc->cell_position[i].cell_nr);
    if (!ct)
        return;
    struct
    {
        const char* kind;
        int count;
        const vm_cmd_t* cmds;
    } lists[] = {{"pre", ct->nr_of_pre, ct->pre_cmds},
                 {"post", ct->nr_of_post, ct->post_cmds},
                 {"cell", ct->nr_of_cell, ct->cell_cmds}};
    for (const auto& l : lists)
        for (int i = 0; l.cmds && i < l.count; ++i)
            std::printf("cmd %s pgc=%d kind=%s n=%d bytes=%s\n", at.c_str(), n, l.kind, i + 1,
                        Hex(l.cmds[i].bytes, 8).c_str());
}

void Dumper::DumpPgcit(const Place& where, const pgcit_t* pgcit)
{
    for (int i = 0; i < pgcit->nr_of_pgci_srp; ++i)
    {
        const pgci_srp_t& s = pgcit->pgci_srp[i];
        if (s.pgc)
            DumpPgc(where, i + 1, s.pgc, s.entry_id, s.ptl_id_mask);
    }
}

void Dumper::DumpMenus(const char* dom, int vts, const pgci_ut_t* ut)
{
    if (!ut)
        return;
    for (int i = 0; i < ut->nr_of_lus; ++i)
    {
        const pgci_lu_t& lu = ut->lu[i];
        Place where{dom, vts, i + 1};
        char lang[8];
        uint8_t hi = lu.lang_code >> 8, lo = lu.lang_code & 0xff;
        if (hi >= 'a' && hi <= 'z' && lo >= 'a' && lo <= 'z')
            std::snprintf(lang, sizeof lang, "%c%c", hi, lo);
        else
            std::snprintf(lang, sizeof lang, "0x%04x", lu.lang_code);
        std::printf("lu %s lang=%s lang_ext=0x%02x exists=0x%02x pgcs=%d\n", where.Text().c_str(), lang,
                    lu.lang_extension, lu.exists, lu.pgcit ? lu.pgcit->nr_of_pgci_srp : 0);
        if (lu.pgcit)
            DumpPgcit(where, lu.pgcit);
    }
}

void Dumper::DumpCadt(const char* dom, int vts, const c_adt_t* cadt)
{
    if (!cadt)
        return;
    Place where{dom, vts, 0};
    size_t count = EntryCount(cadt->last_byte, C_ADT_SIZE, 12);
    std::printf("cadt %s vobs=%d count=%zu\n", where.Text().c_str(), cadt->nr_of_vobs, count);
    for (size_t i = 0; i < count; ++i)
    {
        const cell_adr_t& a = cadt->cell_adr_table[i];
        std::printf("cadr %s n=%zu vob=%d cell=%d first=%u last=%u\n", where.Text().c_str(), i + 1, a.vob_id, a.cell_id,
                    a.start_sector, a.last_sector);
    }
}

void Dumper::DumpVobuMap(const char* dom, int vts, const vobu_admap_t* map)
{
    if (!map)
        return;
    Place where{dom, vts, 0};
    size_t count = EntryCount(map->last_byte, VOBU_ADMAP_SIZE, 4);
    std::printf("vobumap %s count=%zu\n", where.Text().c_str(), count);
    for (size_t i = 0; i < count; ++i)
        std::printf("vobu %s n=%zu sector=%u\n", where.Text().c_str(), i + 1, map->vobu_start_sectors[i]);
}

bool Dumper::DumpVts(int vts)
{
    ifo_handle_t* ifo = ifoOpen(dvd_, vts);
    if (!ifo || !ifo->vtsi_mat)
    {
        std::fprintf(stderr, "kx_ifodump: can't read VTS_%02d_0.IFO\n", vts);
        if (ifo)
            ifoClose(ifo);
        return false;
    }
    const vtsi_mat_t* m = ifo->vtsi_mat;
    std::printf("vtshdr vts=%d last_sector=%u ifo_last_sector=%u spec=0x%02x category=0x%08x menu_vobs=%u "
                "title_vobs=%u attrs=%s\n",
                vts, m->vts_last_sector, m->vtsi_last_sector, m->specification_version, m->vts_category, m->vtsm_vobs,
                m->vtstt_vobs, RawBytes(vts, 0x100, 0x300).c_str());
    DumpAttributes(vts);
    if (const vts_ptt_srpt_t* p = ifo->vts_ptt_srpt)
        for (int t = 0; t < p->nr_of_srpts; ++t)
            for (int c = 0; c < p->title[t].nr_of_ptts; ++c)
                std::printf("ptt vts=%d ttn=%d n=%d pgcn=%d pgn=%d\n", vts, t + 1, c + 1, p->title[t].ptt[c].pgcn,
                            p->title[t].ptt[c].pgn);
    DumpMenus("vtsm", vts, ifo->pgci_ut);
    if (ifo->vts_pgcit)
        DumpPgcit(Place{"vts", vts, 0}, ifo->vts_pgcit);
    if (const vts_tmapt_t* t = ifo->vts_tmapt)
        for (int i = 0; i < t->nr_of_tmaps; ++i)
        {
            const vts_tmap_t& tm = t->tmap[i];
            std::printf("tmap vts=%d pgc=%d unit=%d count=%d\n", vts, i + 1, tm.tmu, tm.nr_of_entries);
            for (int e = 0; tm.map_ent && e < tm.nr_of_entries; ++e)
                std::printf("tmapent vts=%d pgc=%d n=%d sector=0x%08x\n", vts, i + 1, e + 1, tm.map_ent[e]);
        }
    DumpCadt("vtsm", vts, ifo->menu_c_adt);
    DumpVobuMap("vtsm", vts, ifo->menu_vobu_admap);
    DumpCadt("vts", vts, ifo->vts_c_adt);
    DumpVobuMap("vts", vts, ifo->vts_vobu_admap);
    ifoClose(ifo);
    return true;
}

bool Dumper::DumpIfo()
{
    ifo_handle_t* vmg = ifoOpen(dvd_, 0);
    if (!vmg || !vmg->vmgi_mat)
    {
        std::fprintf(stderr, "kx_ifodump: can't read VIDEO_TS.IFO\n");
        if (vmg)
            ifoClose(vmg);
        return false;
    }
    const vmgi_mat_t* m = vmg->vmgi_mat;
    const tt_srpt_t* tt = vmg->tt_srpt;
    int vtsCount = m->vmg_nr_of_title_sets;
    std::printf("vmg vts_count=%d titles=%d last_sector=%u ifo_last_sector=%u spec=0x%02x category=0x%08x "
                "first_play=%d provider_raw=%s ptl=%d ptl_countries=%d\n",
                vtsCount, tt ? tt->nr_of_srpts : 0, m->vmg_last_sector, m->vmgi_last_sector, m->specification_version,
                m->vmg_category, vmg->first_play_pgc ? 1 : 0,
                Hex(reinterpret_cast<const uint8_t*>(m->provider_identifier), 32).c_str(), vmg->ptl_mait ? 1 : 0,
                vmg->ptl_mait ? int(vmg->ptl_mait->nr_of_countries) : 0);
    for (int i = 0; tt && i < tt->nr_of_srpts; ++i)
    {
        const title_info_t& t = tt->title[i];
        const playback_type_t& p = t.pb_ty;
        unsigned pb = (p.zero_1 << 7) | (p.multi_or_random_pgc_title << 6) | (p.jlc_exists_in_cell_cmd << 5) |
                      (p.jlc_exists_in_prepost_cmd << 4) | (p.jlc_exists_in_button_cmd << 3) |
                      (p.jlc_exists_in_tt_dom << 2) | (p.chapter_search_or_play << 1) | p.title_or_time_play;
        std::printf("title n=%d vts=%d ttn=%d chapters=%d angles=%d pb_type=0x%02x parental=0x%04x vts_sector=%u\n",
                    i + 1, t.title_set_nr, t.vts_ttn, t.nr_of_ptts, t.nr_of_angles, pb, t.parental_id,
                    t.title_set_sector);
    }
    if (const vts_atrt_t* a = vmg->vts_atrt)
        for (int i = 0; i < a->nr_of_vtss; ++i)
        {
            const vts_attributes_t& v = a->vts[i];
            uint32_t start = m->vts_atrt * DVD_VIDEO_LB_LEN + a->vts_atrt_offsets[i];
            uint32_t length = v.last_byte >= 8 && v.last_byte < DVD_VIDEO_LB_LEN ? v.last_byte + 1 - 8 : 0;
            std::printf("vtsatrt n=%d last_byte=%u category=0x%08x attrs=%s\n", i + 1, v.last_byte, v.vts_cat,
                        RawBytes(0, start + 8, length).c_str());
        }
    DumpAttributes(0);
    if (vmg->first_play_pgc)
        DumpPgc(Place{"fp", 0, 0}, 1, vmg->first_play_pgc, 0, 0);
    DumpMenus("vmgm", 0, vmg->pgci_ut);
    DumpCadt("vmgm", 0, vmg->menu_c_adt);
    DumpVobuMap("vmgm", 0, vmg->menu_vobu_admap);
    ifoClose(vmg);
    bool ok = true;
    for (int v = 1; v <= vtsCount; ++v)
        ok = DumpVts(v) && ok;
    return ok;
}

bool Dumper::DumpNavDomain(const char* dom, int vts, dvd_read_domain_t domain, const vobu_admap_t* map)
{
    size_t count = map ? EntryCount(map->last_byte, VOBU_ADMAP_SIZE, 4) : 0;
    if (count == 0)
        return true; // a domain of command-only program chains has no VOB file
    dvd_file_t* f = DVDOpenFile(dvd_, vts, domain);
    if (!f)
    {
        std::fprintf(stderr, "kx_ifodump: can't open the %s VOB set of title set %d\n", dom, vts);
        return false;
    }
    const std::string at = Place{dom, vts, 0}.Text();
    unsigned char buf[DVD_VIDEO_LB_LEN];
    bool ok = true;
    for (size_t i = 0; i < count; ++i)
    {
        uint32_t sector = map->vobu_start_sectors[i];
        // A navigation pack: pack header, system header, then the PCI and DSI
        // private stream 2 packets at fixed places.
        static const unsigned char kPack[] = {0, 0, 1, 0xba};
        static const unsigned char kPrivate2[] = {0, 0, 1, 0xbf};
        if (DVDReadBlocks(f, int(sector), 1, buf) != 1 || std::memcmp(buf, kPack, 4) != 0 ||
            std::memcmp(buf + 0x26, kPrivate2, 4) != 0 || std::memcmp(buf + 0x400, kPrivate2, 4) != 0)
        {
            std::printf("navbad %s n=%zu sector=%u\n", at.c_str(), i + 1, sector);
            ok = false;
            continue;
        }
        pci_t pci;
        dsi_t dsi;
        navRead_PCI(&pci, buf + 0x2d);
        navRead_DSI(&dsi, buf + 0x407);
        const dsi_gi_t& g = dsi.dsi_gi;
        const pci_gi_t& p = pci.pci_gi;
        std::printf("nav %s n=%zu sector=%u lbn=%u scr=%u vobu_ea=%u ref1=%u ref2=%u ref3=%u vob=%d cell=%d "
                    "c_eltm=0x%08x pci_lbn=%u vobu_cat=0x%04x uops=0x%08x s_ptm=%u e_ptm=%u se_e_ptm=%u "
                    "e_eltm=0x%08x sml_cat=0x%04x ilvu_ea=%u ilvu_sa=%u ilvu_size=%u\n",
                    at.c_str(), i + 1, sector, g.nv_pck_lbn, g.nv_pck_scr, g.vobu_ea, g.vobu_1stref_ea,
                    g.vobu_2ndref_ea, g.vobu_3rdref_ea, g.vobu_vob_idn, g.vobu_c_idn, Time(g.c_eltm), p.nv_pck_lbn,
                    p.vobu_cat, Uops(p.vobu_uop_ctl), p.vobu_s_ptm, p.vobu_e_ptm, p.vobu_se_e_ptm, Time(p.e_eltm),
                    dsi.sml_pbi.category, dsi.sml_pbi.ilvu_ea, dsi.sml_pbi.ilvu_sa, dsi.sml_pbi.size);
        const vobu_sri_t& s = dsi.vobu_sri;
        std::printf(
            "navsri %s n=%zu next_video=0x%08x next_vobu=0x%08x prev_vobu=0x%08x prev_video=0x%08x fwd=%s bwd=%s\n",
            at.c_str(), i + 1, s.next_video, s.next_vobu, s.prev_vobu, s.prev_video, HexList(s.fwda, 8).c_str(),
            HexList(s.bwda, 8).c_str());
        std::printf("navsync %s n=%zu audio=%s subp=%s\n", at.c_str(), i + 1, HexList(dsi.synci.a_synca, 4).c_str(),
                    HexList(dsi.synci.sp_synca, 8).c_str());
        const hl_gi_t& h = pci.hli.hl_gi;
        if ((h.hli_ss & 3) == 0)
            continue;
        uint32_t colors[6];
        std::memcpy(colors, pci.hli.btn_colit.btn_coli, sizeof colors);
        std::printf("hli %s n=%zu ss=0x%04x s_ptm=%u e_ptm=%u btn_se_e_ptm=%u groups=%d dsp=%d,%d,%d ofn=%d "
                    "buttons=%d numeric=%d forced_select=%d forced_action=%d colors=%s\n",
                    at.c_str(), i + 1, h.hli_ss, h.hli_s_ptm, h.hli_e_ptm, h.btn_se_e_ptm, h.btngr_ns, h.btngr1_dsp_ty,
                    h.btngr2_dsp_ty, h.btngr3_dsp_ty, h.btn_ofn, h.btn_ns, h.nsl_btn_ns, h.fosl_btnn, h.foac_btnn,
                    HexList(colors, 8).c_str());
        for (int b = 0; b < h.btn_ns && b < 36; ++b)
        {
            const btni_t& B = pci.hli.btnit[b];
            std::printf("btn %s n=%zu b=%d color=%d x0=%d x1=%d y0=%d y1=%d auto=%d up=%d down=%d left=%d right=%d "
                        "cmd=%s\n",
                        at.c_str(), i + 1, b + 1, B.btn_coln, B.x_start, B.x_end, B.y_start, B.y_end,
                        B.auto_action_mode, B.up, B.down, B.left, B.right, Hex(B.cmd.bytes, 8).c_str());
        }
    }
    DVDCloseFile(f);
    return ok;
}

bool Dumper::DumpNav()
{
    ifo_handle_t* vmg = ifoOpen(dvd_, 0);
    if (!vmg || !vmg->vmgi_mat)
    {
        std::fprintf(stderr, "kx_ifodump: can't read VIDEO_TS.IFO\n");
        if (vmg)
            ifoClose(vmg);
        return false;
    }
    bool ok = DumpNavDomain("vmgm", 0, DVD_READ_MENU_VOBS, vmg->menu_vobu_admap);
    int vtsCount = vmg->vmgi_mat->vmg_nr_of_title_sets;
    ifoClose(vmg);
    for (int v = 1; v <= vtsCount; ++v)
    {
        ifo_handle_t* ifo = ifoOpen(dvd_, v);
        if (!ifo)
        {
            std::fprintf(stderr, "kx_ifodump: can't read VTS_%02d_0.IFO\n", v);
            ok = false;
            continue;
        }
        ok = DumpNavDomain("vtsm", v, DVD_READ_MENU_VOBS, ifo->menu_vobu_admap) && ok;
        ok = DumpNavDomain("vts", v, DVD_READ_TITLE_VOBS, ifo->vts_vobu_admap) && ok;
        ifoClose(ifo);
    }
    return ok;
}

// libdvdread's messages go to stderr, marked, so stdout stays parseable.
// While the folder is being opened they are held back (with the notice about
// decryption that libdvdread prints straight to stderr) and shown only if the
// open fails: every run would repeat them otherwise.
struct LogState
{
    bool holding = true;
    std::string held;
};

void Log(void* priv, dvd_logger_level_t level, const char* fmt, va_list args)
{
    if (level == DVD_LOGGER_LEVEL_DEBUG)
        return;
    LogState* state = static_cast<LogState*>(priv);
    char text[1024];
    std::vsnprintf(text, sizeof text, fmt, args);
    std::string line = std::string("libdvdread: ") + text + "\n";
    if (state->holding)
        state->held += line;
    else
        std::fputs(line.c_str(), stderr);
}

dvd_reader_t* OpenQuietly(const char* path, LogState* state, const dvd_logger_cb* logger)
{
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY);
    if (saved >= 0 && null >= 0)
        dup2(null, STDERR_FILENO);
    dvd_reader_t* dvd = DVDOpen2(state, logger, path);
    std::fflush(stderr);
    if (saved >= 0 && null >= 0)
        dup2(saved, STDERR_FILENO);
    if (null >= 0)
        close(null);
    if (saved >= 0)
        close(saved);
    state->holding = false;
    if (!dvd)
        std::fputs(state->held.c_str(), stderr);
    return dvd;
}

} // namespace

int main(int argc, char** argv)
{
    bool nav = argc == 3 && std::strcmp(argv[1], "--nav") == 0;
    if (argc != 2 && !nav)
    {
        std::fprintf(stderr, "usage: kx_ifodump [--nav] DVD_FOLDER\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    LogState state;
    dvd_logger_cb logger{Log};
    dvd_reader_t* dvd = OpenQuietly(path, &state, &logger);
    if (!dvd)
    {
        std::fprintf(stderr, "kx_ifodump: can't open %s\n", path);
        return 1;
    }
    Dumper dumper(dvd);
    bool ok = nav ? dumper.DumpNav() : dumper.DumpIfo();
    DVDClose(dvd);
    std::fflush(stdout);
    return ok ? 0 : 1;
}
