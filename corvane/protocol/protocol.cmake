# The dive computer's command protocol: frames, decoders, dive conversion.
target_sources(Corvane PRIVATE
  protocol/protocoltypes.h
  protocol/frame.h protocol/frame.cpp
  protocol/framereceiver.h protocol/framereceiver.cpp
  protocol/kelvobleprotocol.h protocol/kelvobleprotocol.cpp protocol/kelvoprotocoltexts.cpp
  protocol/recordio.h protocol/recordlayouts_p.h
  protocol/kelvorecords.h protocol/kelvorecords.cpp
  protocol/kelvodata.h protocol/kelvodata.cpp protocol/kelvodatadive.cpp protocol/kelvodatacomputer.cpp
  protocol/recordencoders.h protocol/recordencoders.cpp
  protocol/pelagondiveconverter.h protocol/pelagondiveconverter.cpp
  protocol/kelvosession.h protocol/kelvosession.cpp protocol/kelvosessionjobs.cpp
  protocol/syslogtext.h protocol/syslogtext.cpp
  protocol/firmwareimage.h protocol/firmwareimage.cpp
  protocol/firmwareupload.h protocol/firmwareupload.cpp
  protocol/layoutentry.h
  protocol/kelvosessionfirmware.cpp protocol/kelvosessionlayouts.cpp
)
