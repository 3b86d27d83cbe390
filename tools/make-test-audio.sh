#!/bin/sh
# Writes the short sound files the Windows-side player tests play:
# tone.wav (0.4 s, 8 kHz mono 8-bit PCM, a 400 Hz square wave) and
# tone.mp3 (the same sound encoded with lame, without the Xing tag frame,
# which GStreamer's decoder complains about), into the folder given.
set -e
out=$1
mkdir -p "$out"
wav="$out/tone.wav"
# RIFF header: 3200 data bytes, format 1 (PCM), 1 channel, 8000 Hz,
# 8000 bytes a second, block 1, 8 bits.
{
  printf 'RIFF\244\014\000\000WAVEfmt \020\000\000\000\001\000\001\000'
  printf '\100\037\000\000\100\037\000\000\001\000\010\000data\200\014\000\000'
  i=0
  while [ $i -lt 160 ]; do
    printf 'pppppppppp\220\220\220\220\220\220\220\220\220\220'
    i=$((i + 1))
  done
} >"$wav.tmp"
mv "$wav.tmp" "$wav"
lame --quiet -t -b 32 "$wav" "$out/tone.mp3.tmp"
mv "$out/tone.mp3.tmp" "$out/tone.mp3"
