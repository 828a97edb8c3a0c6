#include "oggwriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace synth {

namespace {
void Append(std::vector<unsigned char>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}
}  // namespace

std::vector<unsigned char> EncodeOgg(const Buffer& buf, float quality, int serial) {
  std::vector<unsigned char> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, kRate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "novaquad sndgen");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);

  ogg_packet header, header_comm, header_code;
  vorbis_analysis_headerout(&vd, &vc, &header, &header_comm, &header_code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &header_comm);
  ogg_stream_packetin(&os, &header_code);
  ogg_page page;
  // The headers get pages of their own, so audio starts on a fresh page.
  while (ogg_stream_flush(&os, &page) != 0) Append(out, page);

  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op) == 1) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &page) != 0) Append(out, page);
      }
    }
  };
  const int frames = buf.Frames();
  const int kBlock = 4096;
  for (int pos = 0; pos < frames; pos += kBlock) {
    const int n = std::min(kBlock, frames - pos);
    float** in = vorbis_analysis_buffer(&vd, n);
    for (int i = 0; i < n; ++i) {
      in[0][i] = std::clamp(buf.left[pos + i], -1.0f, 1.0f);
      in[1][i] = std::clamp(buf.right[pos + i], -1.0f, 1.0f);
    }
    vorbis_analysis_wrote(&vd, n);
    drain();
  }
  // End of stream: the encoder trims the last granule position to `frames`.
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page) != 0) Append(out, page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

bool WriteOgg(const std::string& path, const Buffer& buf, float quality, int serial,
              std::string* error) {
  const std::vector<unsigned char> data = EncodeOgg(buf, quality, serial);
  if (data.empty()) {
    if (error) *error = "encoder refused the settings";
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    if (error) *error = "cannot open " + path + " for writing";
    return false;
  }
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace synth
