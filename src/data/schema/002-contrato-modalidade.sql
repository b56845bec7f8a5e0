/* Version 2: a contract's procurement modality refers to MODALIDADE, so a modality
   in use can no longer be deleted. The upgrade refuses (and changes nothing) while
   contracts point at modalities that do not exist. */

ALTER TABLE CONTRATO ADD CONSTRAINT FK_CONTRATO_MODALIDADE
  FOREIGN KEY (CDMODALIDADE) REFERENCES MODALIDADE (CDMODALIDADE);
