#!/usr/bin/env bash
# Makes the small real media files that the tests use, with the ffmpeg CLI, into DIR.
# Cached: nothing is rebuilt while DIR/.stamp matches this script's checksum.
#
#   tools/make-fixtures.sh DIR          the test fixtures (seconds)
#   tools/make-fixtures.sh --bench DIR  the 1080p benchmark video (a minute or so)
#
# Scene starts (frame numbers, 25 frames per second unless noted) are listed in DIR/FIXTURES.txt.
set -euo pipefail

bench=0
if [[ ${1:-} == --bench ]]; then bench=1; shift; fi
dir=${1:?usage: make-fixtures.sh [--bench] DIR}
mkdir -p "$dir"
damage_tool="$(dirname "$0")/make-damaged-media.py"
stamp_value="$(cat "$0" "$damage_tool" | sha1sum | cut -d' ' -f1)"
stamp=$dir/.stamp
[[ $bench == 1 ]] && stamp=$dir/.stamp-bench
if [[ -f $stamp && $(cat "$stamp") == "$stamp_value" ]]; then exit 0; fi

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
size=320x240
rate=25

# Four visually distinct scenes of 40 frames each, joined by hard cuts at 40, 80 and 120.
cut_scenes() {
  local s=$1 r=$2 n=$3
  local cut="trim=end_frame=$n,setpts=PTS-STARTPTS"
  echo "testsrc2=s=$s:r=$r,$cut[a];
        smptehdbars=s=$s:r=$r,drawbox=x='mod(t*400,iw)':y=ih/3:w=40:h=40:c=white:t=fill,$cut[b];
        mandelbrot=s=$s:r=$r,$cut[c];
        testsrc=s=$s:r=$r,hue=h=140:s=1.5,$cut[d];
        [a][b][c][d]concat=n=4:v=1:a=0,format=yuv420p"
}

# Six shots of 100 frames at 1920x1080, each a slow zoom and pan over one background picture.
natural_shots() {
  local pictures=/usr/share/backgrounds/gnome
  local names=(adwaita-l pixels-l licorice-l wood-l grid-l truchet-l)
  # Where each shot's pan heads: x and y of the crop's centre from 0 (left, top) to 1.
  local pans=("0.3 0.4 0.6 0.5" "0.6 0.3 0.4 0.6" "0.5 0.5 0.3 0.6" "0.4 0.6 0.6 0.4"
              "0.7 0.5 0.4 0.4" "0.4 0.4 0.6 0.6")
  local graph="" i x0 y0 x1 y1 pan
  for i in "${!names[@]}"; do
    read -r x0 y0 x1 y1 <<< "${pans[$i]}"
    pan="x='iw*($x0+($x1-$x0)*on/100)-iw/zoom/2':y='ih*($y0+($y1-$y0)*on/100)-ih/zoom/2'"
    graph+="movie=$pictures/${names[$i]}.webp,crop=4096:2304,scale=2880:1620,"
    graph+="zoompan=z='1.1+0.25*on/100':$pan:d=100:s=1920x1080:fps=$rate,setsar=1"
    case $i in
      2) graph+=",fade=t=out:s=85:n=15" ;;
      3) graph+=",fade=t=in:s=0:n=15" ;;
    esac
    graph+="[s$i];"
  done
  echo "$graph[s0][s1][s2][s3][s4][s5]concat=n=6:v=1:a=0,format=yuv420p"
}

if [[ $bench == 1 ]]; then
  # 1080p, 20 seconds, GOP 250, hard cuts every 5 seconds: the speed benchmarks' input.
  ff -filter_complex "$(cut_scenes 1920x1080 $rate 125)" \
     -c:v libx264 -preset veryfast -crf 20 -g 250 -bf 3 "$dir/bench-1080p.mp4"
  [[ -d /usr/share/backgrounds/gnome ]] ||
    { echo "missing /usr/share/backgrounds/gnome (Debian package gnome-backgrounds)"; exit 1; }
  # The typical case: natural 1080p footage, six pictures of gnome-backgrounds shown with a slow
  # zoom and pan each (100 frames a shot), hard cuts, and a fade through black between the third
  # and fourth shot. Scene starts 0 100 200 300 400 500; black around frame 300.
  ff -filter_complex "$(natural_shots)" -c:v libx264 -preset medium -crf 20 -bf 3 \
     -pix_fmt yuv420p "$dir/bench-natural-1080p.mp4"
  echo "$stamp_value" > "$stamp"
  exit 0
fi

# The master of the cut fixtures, losslessly kept so every codec variant starts from the same frames.
ff -filter_complex "$(cut_scenes $size $rate 40)" -c:v ffv1 "$dir/cuts-master.mkv"
ff -i "$dir/cuts-master.mkv" -c:v libx264 -preset veryfast -crf 18 -g 50 -bf 3 "$dir/cuts.mp4"
ff -i "$dir/cuts-master.mkv" -c:v libx264 -preset veryfast -crf 18 -g 50 -bf 3 "$dir/cuts.mkv"
ff -i "$dir/cuts-master.mkv" -c:v mpeg2video -q:v 3 -g 15 -bf 2 "$dir/cuts.mpg"
ff -i "$dir/cuts-master.mkv" -c:v mpeg4 -q:v 3 -g 30 -bf 2 -vtag XVID "$dir/cuts-mpeg4.avi"
ff -i "$dir/cuts-master.mkv" -c:v wmv2 -q:v 3 -g 30 "$dir/cuts.wmv"
ff -i "$dir/cuts-master.mkv" -c:v mjpeg -q:v 3 -pix_fmt yuvj420p "$dir/cuts-mjpeg.avi"
ff -i "$dir/cuts-master.mkv" -c:v libx264 -preset veryfast -crf 18 -g 50 "$dir/cuts.mov"

# A scene that fades to black over frames 30..49, stays black 50..59, and a second scene that
# fades in over 60..79 and runs to frame 119.
ff -filter_complex "testsrc2=s=$size:r=$rate:d=2,fade=t=out:s=30:n=20[a];
                    color=c=black:s=$size:r=$rate:d=0.4[k];
                    smptehdbars=s=$size:r=$rate:d=2.4,drawbox=x='mod(t*400,iw)':y=ih/3:w=40:h=40:c=white:t=fill,fade=t=in:s=0:n=20[b];
                    [a][k][b]concat=n=3:v=1:a=0,format=yuv420p" \
   -c:v libx264 -preset veryfast -crf 18 -g 50 "$dir/fade.mp4"

# Black frames 0..29, then a picture from frame 30 to 99.
ff -filter_complex "color=c=black:s=$size:r=$rate:d=1.2[k];testsrc2=s=$size:r=$rate:d=2.8[a];
                    [k][a]concat=n=2:v=1:a=0,format=yuv420p" \
   -c:v libx264 -preset veryfast -crf 18 -g 50 "$dir/blackstart.mp4"

# Sound only: three seconds of a 440 Hz tone.
ff -f lavfi -i "sine=f=440:d=3" -c:a aac -b:a 96k "$dir/audio.m4a"

# Frame-numbered videos: the top 16 rows hold 16 blocks of 20 pixels, block i white when bit i of
# the frame's index is set (least significant bit leftmost); the rest is a moving test picture.
index_filter="geq=lum='if(lt(Y,16),if(bitand(N,pow(2,floor(X/20))),235,16),lum(X,Y))':cb='if(lt(Y,16),128,cb(X,Y))':cr='if(lt(Y,16),128,cr(X,Y))'"
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=12" -vf "format=yuv420p,$index_filter" -c:v ffv1 "$dir/index-master.mkv"
ff -f lavfi -i "testsrc2=s=$size:r=30000/1001:d=10" -vf "format=yuv420p,$index_filter" -c:v ffv1 "$dir/index-ntsc-master.mkv"
ff -i "$dir/index-master.mkv" -c:v libx264 -preset veryfast -crf 16 -g 50 -bf 3 "$dir/index.mp4"
ff -i "$dir/index-master.mkv" -c:v libx264 -preset veryfast -crf 16 -g 50 -bf 3 "$dir/index.mkv"
ff -i "$dir/index-master.mkv" -c:v mpeg2video -q:v 2 -g 15 -bf 2 "$dir/index.mpg"
ff -i "$dir/index-master.mkv" -c:v mpeg4 -q:v 2 -g 30 -bf 2 -vtag XVID "$dir/index-mpeg4.avi"
ff -i "$dir/index-master.mkv" -c:v wmv2 -q:v 2 -g 30 "$dir/index.wmv"
ff -i "$dir/index-master.mkv" -c:v mjpeg -q:v 2 -pix_fmt yuvj420p "$dir/index-mjpeg.avi"
ff -i "$dir/index-master.mkv" -c:v libx264 -preset veryfast -crf 16 -g 50 "$dir/index.mov"
ff -i "$dir/index-ntsc-master.mkv" -c:v libx264 -preset veryfast -crf 16 -g 50 -bf 3 "$dir/index-ntsc.mp4"

# Damaged copies of the cut and index fixtures (fixed seeds): damaged/NAME.KIND.EXT.
python3 "$damage_tool" "$dir" "$dir/damaged"

cat > "$dir/FIXTURES.txt" <<'TXT'
file              codec / container        frames  fps         scene starts
cuts.mp4          H.264 (B-frames) / MP4   160     25          0 40 80 120
cuts.mkv          H.264 (B-frames) / MKV   160     25          0 40 80 120
cuts.mpg          MPEG-2 / MPEG-PS         160     25          0 40 80 120
cuts-mpeg4.avi    MPEG-4 part 2 / AVI      160     25          0 40 80 120
cuts.wmv          WMV2 / ASF               160     25          0 40 80 120
cuts-mjpeg.avi    MJPEG / AVI              160     25          0 40 80 120
cuts.mov          H.264 / QuickTime        160     25          0 40 80 120
fade.mp4          H.264 / MP4              120     25          0, fade out 30..49, black 50..59, fade in 60..79
blackstart.mp4    H.264 / MP4              100     25          black 0..29, picture from 30
audio.m4a         AAC, no video            3 s     -           -
index.*           frame index in top row   300     25          (no cuts)
index-ntsc.mp4    frame index in top row   300     30000/1001  (no cuts)
bench-1080p.mp4   H.264 1080p, GOP 250     500     25          0 125 250 375   (make bench only)
bench-natural-1080p.mp4  H.264 1080p, pictures  600  25   0 100 200 300 400 500, black ~300 (make bench only)
damaged/NAME.KIND.EXT  cuts.* and index.* damaged: flip0.01 / flip1 (0.01 % / 1 % of the bytes
                  changed), cut30 / cut90 (truncated to 30 % / 90 %), noise64k (64 KiB of noise
                  in the middle), zerohead (first 4 KiB zeroed), flip0.01s7 and flip0.01s5 (0.01 %
                  from the benchmark's seventh and fifth extra seeds)
TXT
rm -f "$dir/cuts-master.mkv" "$dir/index-master.mkv" "$dir/index-ntsc-master.mkv"
echo "$stamp_value" > "$stamp"
