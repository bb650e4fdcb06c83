#include "media/media_players.h"

namespace adv {

MediaPlayers::MediaPlayers(MediaHost& host, const FileSystem& files, InternalErrorLog& log)
    : midi(host.Midi(), [&host](TimerClient& client) { return host.CreateTimer(client); }),
      sound(host.Audio(), files),
      mp3(host.MusicAudio(), files, log),
      cd(host.MusicAudio(), files, log),
      movie(host.Movies(), files, log) {}

bool MediaPlayers::OnMediaDone(int media_id) {
  return cd.OnNotify(media_id) == 0 || mp3.OnNotify(media_id) == 0;
}

void MediaPlayers::StopAll() {
  movie.Close();
  cd.Close();
  mp3.Close();
  sound.StopWave();
  midi.Stop();
}

}  // namespace adv
