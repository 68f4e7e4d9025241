; strcopy.a51 - copies a text from the program memory into the internal RAM.
;
; Shows MOVC A,@A+PC, which reads a byte of the program memory at a distance from the
; instruction itself, and indirect addressing with R0. The text ends in a zero byte.
; Every 8051-family chip has 128 bytes of internal RAM; this program writes 3Fh to 4Fh.
; Assemble: as31 -Fbin -Ostrcopy.bin strcopy.a51
;
; Internal RAM after the run:
;   3Fh      the length: 0Fh (15)
;   40h-4Fh  the text "Hello, VXT-8052" and its zero byte
;
; Only relative jumps and PC-relative reads are used, so the program runs wherever the
; board's monitor loads it. It ends in a loop: stop it with the board's RESET key and
; look at the internal RAM from 3Fh with the monitor.

        .org    0

start:  mov     r0, #40h        ; where the copy goes
        mov     r2, #0          ; characters copied so far
next:   mov     a, r2
        add     a, #text-here   ; distance from `here` to the character
        movc    a, @a+pc        ; PC is `here` while MOVC runs
here:   mov     @r0, a
        inc     r0
        jz      done            ; the zero byte ends the text (and is copied too)
        inc     r2
        sjmp    next
done:   mov     3Fh, r2

stop:   sjmp    stop

text:   .db     "Hello, VXT-8052", 0
